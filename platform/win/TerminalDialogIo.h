// Dialogs in the player's terminal (/dev/tty), drawn with ncurses.
#ifndef NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_
#define NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_

#include "platform/win/DialogIo.h"

namespace platform {

DialogIo& TerminalDialogIo();

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_TERMINAL_DIALOG_IO_H_
