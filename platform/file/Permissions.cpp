// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file/Permissions.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

bool InGroup(gid_t gid) {
  if (gid == getegid()) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int got = getgroups(count, groups.data());
  for (int i = 0; i < got; ++i) {
    if (groups[static_cast<size_t>(i)] == gid) return true;
  }
  return false;
}

}  // namespace

bool ModeAllows(const struct stat& st, Access access) {
  const mode_t bit = access == Access::kRead ? 04 : 02;
  if (st.st_uid == geteuid()) return (st.st_mode & (bit << 6)) != 0;
  if (InGroup(st.st_gid)) return (st.st_mode & (bit << 3)) != 0;
  return (st.st_mode & bit) != 0;
}

bool MayWriteInFolder(const std::string& folder) {
  struct stat st;
  if (folder.empty() || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ModeAllows(st, Access::kWrite) &&
         faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace platform
