// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/TerminalDescription.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "platform/environment/Environment.h"

namespace platform {

namespace {

bool IsFile(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folders curses searches, in its order: $TERMINFO, ~/.terminfo,
// $TERMINFO_DIRS (an empty entry standing for the system's), then the
// system's own.
std::vector<std::string> SearchFolders() {
  const std::vector<std::string> system = {"/etc/terminfo", "/lib/terminfo",
                                           "/usr/share/terminfo", "/usr/lib/terminfo"};
  std::vector<std::string> folders;
  const std::string terminfo = GetEnvironmentVariable("TERMINFO");
  if (!terminfo.empty()) folders.push_back(terminfo);
  const std::string home = GetEnvironmentVariable("HOME");
  if (!home.empty()) folders.push_back(home + "/.terminfo");
  const std::string dirs = GetEnvironmentVariable("TERMINFO_DIRS");
  size_t start = 0;
  while (!dirs.empty() && start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) {
      folders.insert(folders.end(), system.begin(), system.end());
    } else {
      folders.push_back(dir);
    }
    start = end + 1;
  }
  folders.insert(folders.end(), system.begin(), system.end());
  return folders;
}

}  // namespace

bool HasTerminalDescription(const std::string& term) {
  if (term.empty() || term.find('/') != std::string::npos || term[0] == '.') return false;
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(term[0]));
  for (const std::string& folder : SearchFolders()) {
    if (IsFile(folder + "/" + term[0] + "/" + term) || IsFile(folder + "/" + hex + "/" + term)) {
      return true;
    }
  }
  return false;
}

}  // namespace platform
