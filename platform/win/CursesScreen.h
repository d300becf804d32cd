// SPDX-License-Identifier: GPL-3.0-or-later
// A dialog drawn in the terminal with ncurses, for a console screen reader
// and a braille display: plain lines (DialogLayout.h), the terminal cursor
// always where the focus is (never left where the drawing ended), and only
// the lines that changed written again. Keys come from /dev/tty, so that a
// host whose standard input is a pipe still has its dialogs.
//
// A host that runs curses itself keeps its screen: its screen is used, what
// it showed is put back when the last dialog closes, and its terminal modes
// too.
#ifndef NARRO_PLATFORM_WIN_CURSES_SCREEN_H_
#define NARRO_PLATFORM_WIN_CURSES_SCREEN_H_

#include <memory>

#include "platform/win/DialogIo.h"

namespace platform {

// Null when the terminal cannot be driven by curses (no terminal
// description, a terminal curses cannot use); ttyFd stays the caller's.
std::unique_ptr<DialogIo> OpenCursesScreen(int ttyFd);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_CURSES_SCREEN_H_
