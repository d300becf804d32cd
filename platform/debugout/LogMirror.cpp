#include "platform/debugout/LogMirror.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// One write(2) per line, so that lines from several processes appending to
// the same file never interleave.
void WriteWhole(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace

void WriteLogMirror(const std::string& line) {
  const char* target = std::getenv("NARRO_LOG");
  if (target == nullptr || *target == '\0') return;
  const int savedErrno = errno;  // the log must not disturb the caller's error
  const std::string data = line + "\n";
  if (std::strcmp(target, "stderr") == 0) {
    WriteWhole(STDERR_FILENO, data);
  } else {
    const int fd = open(target, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      WriteWhole(fd, data);
      close(fd);
    }
  }
  errno = savedErrno;
}

}  // namespace platform
