// SPDX-License-Identifier: GPL-3.0-or-later
// Making a folder and the folders above it, as "mkdir -p" does.
#ifndef NARRO_PLATFORM_FILE_MAKE_FOLDERS_H_
#define NARRO_PLATFORM_FILE_MAKE_FOLDERS_H_

#include <sys/types.h>

#include <string>

namespace platform {

// Makes every missing folder of the path, each with the mode given (less
// the umask); folders already there are left as they are. True when the
// folder is there afterwards (a link to a folder counts); false, with errno
// set, otherwise: ENOTDIR when a file or anything else that is not a folder
// stands in the way, or mkdir's own error. A relative path is relative to
// the working folder.
bool MakeFolders(const std::string& path, mode_t mode);

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_MAKE_FOLDERS_H_
