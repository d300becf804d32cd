// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "player/Utf8Text.h"

namespace player {

std::string SaveFileName(const std::string& name, const std::string& crc) {
  return name + "_%" + crc + "%_.sav";
}

std::string SaveDisplayName(const std::string& fileName) {
  const std::string base = BaseName(fileName);
  const size_t marker = base.rfind("_%");
  return marker == std::string::npos ? base : base.substr(0, marker);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutableFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  path[n] = '\0';
  return FolderOf(path);
}

std::string StemOf(const std::string& path) {
  const std::string base = BaseName(path);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

namespace {

bool WritableFolder(const std::string& folder) {
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         access(folder.c_str(), W_OK | X_OK) == 0;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return true;
}

// Reads a whole regular file of at most 64 MiB; never blocks on a FIFO.
bool ReadSmallFile(const std::string& path, std::string& contents) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > (64 << 20)) {
    close(fd);
    return false;
  }
  contents.clear();
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) contents.append(buffer, static_cast<size_t>(n));
  close(fd);
  return n == 0;
}

}  // namespace

std::string ChooseSaveFolder(const std::string& story, const std::string& fallback) {
  const std::string own = FolderOf(story);
  if (WritableFolder(own)) return own;
  if (MakeFolders(fallback) && WritableFolder(fallback)) return fallback;
  return std::string();
}

bool FingerprintKnown(const std::string& crc, const std::vector<std::string>& databases) {
  const std::string attribute = "fingerprint=\"" + crc + "\"";
  for (const std::string& path : databases) {
    std::string contents;
    if (ReadSmallFile(path, contents) && contents.find(attribute) != std::string::npos) return true;
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
