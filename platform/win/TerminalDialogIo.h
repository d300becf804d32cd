// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs in the player's terminal, /dev/tty, so that a host whose standard
// input is a pipe still has them: drawn with curses (CursesScreen.h), or as
// plain lines when the terminal is dumb or curses cannot drive it
// (PlainTerminal.h). Without a controlling terminal no dialog opens.
#ifndef NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_
#define NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_

#include "platform/win/DialogIo.h"

namespace platform {

DialogIo& TerminalDialogIo();

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_
