#include "platform/debugout/LogMirror.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/file/WriteAll.h"

namespace platform {

void WriteLogMirror(const std::string& line) {
  const char* target = std::getenv("NARRO_LOG");
  if (target == nullptr || *target == '\0') return;
  const int savedErrno = errno;  // the log must not disturb the caller's error
  const std::string data = line + "\n";
  if (std::strcmp(target, "stderr") == 0) {
    WriteAll(STDERR_FILENO, data);
  } else {
    const int fd = open(target, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      WriteAll(fd, data);
      close(fd);
    }
  }
  errno = savedErrno;
}

}  // namespace platform
