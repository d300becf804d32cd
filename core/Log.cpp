// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Log.h"

#include <errno.h>

#include <cstring>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"

void OutputDebugLine(const std::string& text) {
  const int savedErrno = errno;
  platform::OutputDebugString(text);
  platform::WriteLogMirror(text);
  errno = savedErrno;
}

std::string SystemErrorText() {
  const int number = errno;
  char buffer[256];
  // The GNU strerror_r gives back a pointer that may not be our buffer.
  const char* message = strerror_r(number, buffer, sizeof buffer);
  return std::string(message ? message : "") + ": " + std::to_string(number);
}
