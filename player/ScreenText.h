// SPDX-License-Identifier: GPL-3.0-or-later
// Text laid out for the terminal: lines broken between words at the
// terminal's width, so that a braille display or a magnifier shows whole
// words, never "o" at one line's end and "rchard" at the next one's start.
#ifndef NARRO_PLAYER_SCREEN_TEXT_H_
#define NARRO_PLAYER_SCREEN_TEXT_H_

#include <string>

namespace player {

// The columns a character takes on the terminal (0, 1 or 2).
int CellWidth(wchar_t ch);
int CellsOf(const std::wstring& text);

// Each line of `text` broken at its last blank that keeps it within
// `columns` cells; a word longer than a line is cut where it must be. The
// blank a break replaces goes; line feeds stay as they are.
std::wstring WrapForScreen(const std::wstring& text, int columns);

}  // namespace player

#endif  // NARRO_PLAYER_SCREEN_TEXT_H_
