// SPDX-License-Identifier: GPL-3.0-or-later
// Keys as terminals send them, turned into the keys of the modal loop.
#ifndef NARRO_PLATFORM_WIN_TERMINAL_KEYS_H_
#define NARRO_PLATFORM_WIN_TERMINAL_KEYS_H_

#include "platform/win/KeyEvent.h"

namespace platform {

// A character the terminal sent: control characters become their keys
// (Enter, Escape, Tab, Backspace; Ctrl-C an interrupt). False for a control
// character that is no key of ours.
bool KeyOfCharacter(wchar_t ch, KeyEvent& key);

// A key that curses decoded (KEY_UP and the others); false for one we do
// not use.
bool KeyOfCursesCode(int code, KeyEvent& key);

// The program was asked to stop (SIGTERM, a closed terminal): the dialog
// waiting for a key gives up as at Ctrl-C, so that the program can end.
// Safe in a signal handler; the wait for a key looks for it at least every
// tenth of a second, whichever thread took the signal.
void InterruptTerminalDialogs();
// Whether that was asked since last taken; the terminal's key reading
// takes it.
bool TakeTerminalInterrupt();

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_TERMINAL_KEYS_H_
