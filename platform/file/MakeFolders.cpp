// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file/MakeFolders.h"

#include <errno.h>
#include <sys/stat.h>

namespace platform {

namespace {

// 1: a folder is there; 0: nothing is; -1: something else is, or stat
// failed for another reason than absence (errno set).
int FolderState(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : -1;
  if (S_ISDIR(st.st_mode)) return 1;
  errno = ENOTDIR;
  return -1;
}

}  // namespace

bool MakeFolders(const std::string& path, mode_t mode) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  // Each prefix that ends before a '/', then the whole path; "a//b" and a
  // trailing '/' give empty or repeated prefixes, which are skipped.
  size_t end = 0;
  std::string last;
  while (end != std::string::npos) {
    end = path.find('/', end + 1);
    std::string prefix = path.substr(0, end);
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix.empty() || prefix == last) continue;
    last = prefix;
    const int state = FolderState(prefix);
    if (state == 1) continue;
    if (state < 0) return false;
    if (mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST) return false;
    // EEXIST: another process made it meanwhile, or something that is no
    // folder appeared; look again.
    if (FolderState(prefix) != 1) return false;
  }
  return true;
}

}  // namespace platform
