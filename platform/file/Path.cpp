// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file/Path.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

namespace platform {

std::string ResolvedPath(const std::string& path) {
  if (path.empty()) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  free(real);
  return resolved;
}

std::string WorkingFolder() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
