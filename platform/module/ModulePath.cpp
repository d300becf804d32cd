// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/module/ModulePath.h"

#include <limits.h>
#include <unistd.h>

#include "platform/environment/Environment.h"
#include <vector>

namespace platform {

std::string GetModuleFileName() {
  std::vector<char> buffer(PATH_MAX);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buffer.size()) {
      return std::string(buffer.data(), static_cast<size_t>(n));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string GetDataDirectoryOverride() {
  return GetEnvironmentVariable("NARRO_DATA_DIR");
}

}  // namespace platform
