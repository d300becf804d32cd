// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/AppDirectory.h"

#include "platform/file/Path.h"
#include "platform/module/ModulePath.h"

std::string GetAppDirectory() {
  const std::string dir = platform::GetDataDirectoryOverride();
  if (!dir.empty()) return platform::WithTrailingSlash(dir);
  const std::string exe = platform::GetModuleFileName();
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? exe : exe.substr(0, slash + 1);
}
