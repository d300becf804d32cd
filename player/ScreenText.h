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
// One row of exactly `columns` cells: `text` cut at the last character
// that fits, else filled with blanks.
std::wstring FitCells(const std::wstring& text, int columns);

// Each line of `text` broken at its last blank that keeps it within
// `columns` cells; a word longer than a line is cut where it must be. The
// blank a break replaces goes; line feeds stay as they are.
std::wstring WrapForScreen(const std::wstring& text, int columns);

// Text that came from outside (a game, an interpreter, a file's name) made
// safe to show: a terminal must never take any of it for a command. Escape
// sequences go whole (ESC [ 41 m, an OSC title up to its BEL or ST, their
// one-character C1 forms), as does every other control character (C0 but
// line feeds and tabs, which become blanks; DEL; C1) and the marks that
// turn the direction of text (U+202A-U+202E, U+2066-U+2069). Keeps
// `lineFeeds` line feeds, else makes them blanks.
std::wstring ForScreen(const std::wstring& text, bool lineFeeds = true);

}  // namespace player

#endif  // NARRO_PLAYER_SCREEN_TEXT_H_
