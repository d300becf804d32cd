// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/module/ModulePath.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "platform/environment/Environment.h"

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

std::string GetLibraryFileName() {
  Dl_info info;
  std::string path;
  if (dladdr(reinterpret_cast<void*>(&GetLibraryFileName), &info) != 0 &&
      info.dli_fname != nullptr && info.dli_fname[0] == '/') {
    path = info.dli_fname;
  } else {
    // The main program's own code has no file name of its own in the
    // loader's list (or a relative argv[0]).
    path = GetModuleFileName();
  }
  if (path.empty()) return path;
  // A library is usually reached through a link (libNarro.so.0); the folder
  // that counts is the real file's.
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  free(real);
  return resolved;
}

std::string GetDataDirectoryOverride() {
  return GetEnvironmentVariable("NARRO_DATA_DIR");
}

}  // namespace platform
