// SPDX-License-Identifier: GPL-3.0-or-later
// Joining paths: folder paths end in "/" wherever a name is added to them.
#ifndef NARRO_PLATFORM_FILE_PATH_H_
#define NARRO_PLATFORM_FILE_PATH_H_

#include <string>

namespace platform {

// The folder path with one "/" at its end; an empty path names no folder
// and stays empty (it must never become "/", the whole disk).
inline std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_PATH_H_
