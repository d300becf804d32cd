// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the terminal type has a terminfo description curses could load,
// found the way curses looks for one but without starting it: curses keeps
// memory it never frees when it is started on a terminal it does not know.
#ifndef NARRO_PLATFORM_WIN_TERMINAL_DESCRIPTION_H_
#define NARRO_PLATFORM_WIN_TERMINAL_DESCRIPTION_H_

#include <string>

namespace platform {

bool HasTerminalDescription(const std::string& term);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_TERMINAL_DESCRIPTION_H_
