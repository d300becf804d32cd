// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs on a terminal that cannot place its cursor (TERM=dumb, or one
// curses cannot drive): plain lines, one after the other, as a speaking
// terminal or a braille display reads them. A dialog prints its lines when
// it opens (one screenful); afterwards each move prints the line the cursor
// reached. Keys
// are read from the terminal byte by byte, with the usual escape sequences
// of the arrow and editing keys.
#ifndef NARRO_PLATFORM_WIN_PLAIN_TERMINAL_H_
#define NARRO_PLATFORM_WIN_PLAIN_TERMINAL_H_

#include <memory>

#include "platform/win/DialogIo.h"

namespace platform {

// Null when the terminal's modes cannot be set; ttyFd stays the caller's.
std::unique_ptr<DialogIo> OpenPlainTerminal(int ttyFd);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_PLAIN_TERMINAL_H_
