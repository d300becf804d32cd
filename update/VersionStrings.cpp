// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionStrings.h"

#include "platform/module/ModulePath.h"
#include "update/FileVersionInfo.h"

VersionStrings GetVersionStrings() {
  return GetVersionStrings(platform::GetModuleFileName());
}

VersionStrings GetVersionStrings(const std::string& path) {
  CFileVersionInfo info;
  // Without a resource every value is "none", which is what callers want.
  info.Open(path.c_str());
  return {info.GetFileVersion(), info.GetProductName(), info.GetCompanyName(),
          info.GetLegalCopyright(), info.GetComments()};
}
