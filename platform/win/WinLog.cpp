// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/WinLog.h"

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"

namespace platform {

void WinLog(const std::string& line) {
  OutputDebugString(line);
  WriteLogMirror(line);
}

}  // namespace platform
