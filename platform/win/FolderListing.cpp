// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/FolderListing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/file/Path.h"
#include "platform/file/Permissions.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/ListBox.h"

namespace platform {

namespace {

bool CanEnter(const struct stat& st) {
  if (!S_ISDIR(st.st_mode) || !ModeAllows(st, Access::kRead)) return false;
  // Entering needs the search bit of the same class the read bit came from.
  const uid_t uid = geteuid();
  if (st.st_uid == uid) return (st.st_mode & S_IXUSR) != 0;
  if (st.st_gid == getegid()) return (st.st_mode & S_IXGRP) != 0;
  return (st.st_mode & S_IXOTH) != 0;
}

}  // namespace

bool ListFolders(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  struct stat st{};
  if (stat(folder.c_str(), &st) != 0 || !CanEnter(st)) return false;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat target{};
      isFolder = stat(JoinFolder(folder, name).c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    }
    if (isFolder) names.push_back(name);
  }
  closedir(dir);
  std::vector<std::pair<std::wstring, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(WideFromLocale(name), std::move(name));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    const int order = CompareIgnoringCase(a.first, b.first);
    return order != 0 ? order < 0 : a.second < b.second;
  });
  names.clear();
  for (auto& pair : keyed) names.push_back(std::move(pair.second));
  return true;
}

std::string NormalFolder(const std::string& path) {
  std::string normal = path;
  if (normal.empty() || normal[0] != '/') {
    const std::string working = WorkingFolder();
    normal = normal.empty() ? working : JoinFolder(working, normal);
  }
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LastName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace platform
