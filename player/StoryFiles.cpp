// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "player/Files.h"
#include "player/Utf8Text.h"

namespace player {

std::string SaveFileName(const std::string& name, const std::string& crc) {
  return name + "_%" + crc + "%_.sav";
}

std::string StemOf(const std::string& path) {
  const std::string base = BaseName(path);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

namespace {

// As large as the library reads a fingerprint database.
constexpr size_t kLargestDatabase = 64u << 20;

bool WritableFolder(const std::string& folder) {
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string ChooseSaveFolder(const std::string& story, const std::string& fallback) {
  const std::string own = FolderOf(story);
  if (WritableFolder(own)) return own;
  std::string what;
  if (MakeFolders(fallback, what) && WritableFolder(fallback)) return fallback;
  return std::string();
}

bool FingerprintKnown(const std::string& crc, const std::vector<std::string>& databases) {
  const std::string attribute = "fingerprint=\"" + crc + "\"";
  for (const std::string& path : databases) {
    std::string contents, what;
    bool missing = false;
    if (ReadSmallFile(path, kLargestDatabase, contents, what, missing) &&
        contents.find(attribute) != std::string::npos) {
      return true;
    }
  }
  return false;
}

std::wstring TitleFromBanner(const std::wstring& output) {
  const std::vector<std::wstring> lines = SplitLines(output);
  for (size_t i = 2; i < lines.size(); ++i) {
    if (lines[i].rfind(L"Release ", 0) != 0 || lines[i].find(L"Serial number") == std::wstring::npos) {
      continue;
    }
    if (Trimmed(lines[i - 1]).empty()) return std::wstring();
    return Trimmed(lines[i - 2]);
  }
  return std::wstring();
}

}  // namespace player
