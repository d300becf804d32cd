// SPDX-License-Identifier: GPL-3.0-or-later
// write(2) until all of the data is out: a write may take only part of it,
// or be interrupted by a signal.
#ifndef NARRO_PLATFORM_FILE_WRITE_ALL_H_
#define NARRO_PLATFORM_FILE_WRITE_ALL_H_

#include <errno.h>
#include <unistd.h>

#include <string>

namespace platform {

// False on an error, errno telling which.
inline bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_WRITE_ALL_H_
