// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/module/ModulePath.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <unistd.h>

#include <vector>

#include "platform/environment/Environment.h"
#include "platform/file/Path.h"

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
  struct link_map* object = nullptr;
  if (dladdr1(reinterpret_cast<void*>(&GetLibraryFileName), &info,
              reinterpret_cast<void**>(&object), RTLD_DL_LINKMAP) == 0 ||
      object == nullptr || object->l_name == nullptr || object->l_name[0] != '/') {
    // The program itself has no name in the loader's list (dladdr would
    // give its argv[0], which the caller chose); a library loaded by a
    // relative name cannot be placed once the working folder has changed.
    // Either way the program's own path is the best there is.
    return GetModuleFileName();
  }
  // A library is usually reached through a link (libNarro.so.0); the folder
  // that counts is the real file's.
  return ResolvedPath(object->l_name);
}

std::string GetDataDirectoryOverride() {
  return GetEnvironmentVariable("NARRO_DATA_DIR");
}

}  // namespace platform
