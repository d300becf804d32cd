// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 as the game and the terminal speak it, and the wide text the
// library stores and speaks.
#ifndef NARRO_PLAYER_UTF8_TEXT_H_
#define NARRO_PLAYER_UTF8_TEXT_H_

#include <string>
#include <vector>

namespace player {

// Decodes UTF-8. A byte that does not begin or continue a valid sequence
// (stray continuation bytes, overlong forms, surrogates, codes above
// U+10FFFF) becomes U+FFFD, one per bad byte, so nothing is silently lost
// and nothing invalid reaches the voice.
std::wstring DecodeUtf8(const std::string& bytes);
std::string EncodeUtf8(const std::wstring& text);
// True when every byte is part of a valid sequence (what DecodeUtf8 would
// decode without a replacement character).
bool IsUtf8(const std::string& bytes);
std::string EncodeUtf8(wchar_t ch);

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

#endif  // NARRO_PLAYER_UTF8_TEXT_H_
