// SPDX-License-Identifier: GPL-3.0-or-later
// The game's text made fit for a terminal and a voice. (Its UTF-8 is
// decoded and encoded by platform/locale/TextEncoding.h.)
#ifndef NARRO_PLAYER_CLEAN_TEXT_H_
#define NARRO_PLAYER_CLEAN_TEXT_H_

#include <string>
#include <vector>

namespace player {

// Game text fit for a terminal and a voice: valid UTF-8, line feeds and tabs
// kept, carriage returns dropped, every other control character dropped, and
// escape sequences (colours, titles, cursor moves) dropped whole, not only
// their ESC, so that "[1m" is neither shown nor spoken. An escape sequence
// the text ends inside is left out; with `unfinished` it is handed back, to
// be put before the text that comes next.
std::wstring CleanGameText(const std::wstring& text, std::wstring* unfinished = nullptr);

// The text without the blanks (spaces and tabs) at its two ends.
std::wstring Trimmed(const std::wstring& text);

// The lines of a text split at line feeds, without them; a text ending in a
// line feed ends in an empty line.
std::vector<std::wstring> SplitLines(const std::wstring& text);

}  // namespace player

#endif  // NARRO_PLAYER_CLEAN_TEXT_H_
