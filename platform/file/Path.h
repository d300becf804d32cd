// SPDX-License-Identifier: GPL-3.0-or-later
// Joining paths: folder paths end in "/" wherever a name is added to them.
#ifndef NARRO_PLATFORM_FILE_PATH_H_
#define NARRO_PLATFORM_FILE_PATH_H_

#include <cstddef>
#include <string>

namespace platform {

// The longest name, in bytes, one folder entry may have (NAME_MAX on the
// file systems Linux mounts).
constexpr size_t kLongestFileName = 255;

// The folder path with one "/" at its end; an empty path names no folder
// and stays empty (it must never become "/", the whole disk).
inline std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The path with every link and "." or ".." resolved, as /proc/self/exe
// names a program; the path itself when it does not exist (or cannot be
// resolved).
std::string ResolvedPath(const std::string& path);

// The process's working folder, without a trailing "/"; empty when it
// cannot be had (removed meanwhile, say).
std::string WorkingFolder();

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_PATH_H_
