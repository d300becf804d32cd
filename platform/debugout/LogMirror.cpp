// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/debugout/LogMirror.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/environment/Environment.h"
#include "platform/file/WriteAll.h"

namespace platform {

void WriteLogMirror(const std::string& line) {
  const std::string target = GetEnvironmentVariable("NARRO_LOG");
  if (target.empty()) return;
  const int savedErrno = errno;  // the log must not disturb the caller's error
  const std::string data = line + "\n";
  if (target == "stderr") {
    WriteAll(STDERR_FILENO, data);
  } else {
    // Never waiting: a pipe nobody reads loses the copy, not the host's time.
    const int fd = open(target.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    if (fd >= 0) {
      WriteAll(fd, data);
      close(fd);
    }
  }
  errno = savedErrno;
}

}  // namespace platform
