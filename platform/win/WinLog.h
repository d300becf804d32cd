// SPDX-License-Identifier: GPL-3.0-or-later
// A line for the log from the window layer: the debug-output channel and
// the NARRO_LOG copy, as the library's own log lines go.
#ifndef NARRO_PLATFORM_WIN_WIN_LOG_H_
#define NARRO_PLATFORM_WIN_WIN_LOG_H_

#include <string>

namespace platform {

void WinLog(const std::string& line);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_WIN_LOG_H_
