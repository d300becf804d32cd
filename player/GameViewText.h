// SPDX-License-Identifier: GPL-3.0-or-later
// What the game view's window handlers share: a span's text made fit for
// a terminal and a voice, and what a picture is said as.
#ifndef NARRO_PLAYER_GAME_VIEW_TEXT_H_
#define NARRO_PLAYER_GAME_VIEW_TEXT_H_

#include <string>
#include <vector>

#include "player/GlkProtocol.h"

namespace player {

inline constexpr wchar_t kPictureWords[] = L"A picture.";

// Text fit for a terminal and a voice: no control characters, no escape
// sequence, not even its remnants.
std::wstring Printable(const std::wstring& text);
// The spans' text but the player's own command's; `reverse`, when given,
// is set when a span of visible text is highlighted.
std::wstring SpanText(const std::vector<GlkSpan>& spans, bool* reverse = nullptr);

}  // namespace player

#endif  // NARRO_PLAYER_GAME_VIEW_TEXT_H_
