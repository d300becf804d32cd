#include "core/AppDirectory.h"

#include "platform/module/ModulePath.h"

std::string GetAppDirectory() {
  std::string dir = platform::GetDataDirectoryOverride();
  if (!dir.empty()) {
    if (dir.back() != '/') dir += '/';
    return dir;
  }
  const std::string exe = platform::GetModuleFileName();
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? exe : exe.substr(0, slash + 1);
}
