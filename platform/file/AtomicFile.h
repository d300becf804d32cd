// SPDX-License-Identifier: GPL-3.0-or-later
// Files the library writes are replaced whole: the new content goes to a
// temporary file in the same folder, which is then renamed over the old
// one. A failure at any step leaves the old file as it was.
#ifndef NARRO_PLATFORM_FILE_ATOMIC_FILE_H_
#define NARRO_PLATFORM_FILE_ATOMIC_FILE_H_

#include <string>

namespace platform {

// The real file system's ReplaceFile (see FileSystem.h for the rules on
// links, non-regular files and permission bits). False with errno telling
// why when the file was not replaced.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);

// The file a path names once every symbolic link on its last component is
// followed (the path itself when it is no link); false with ELOOP for a
// circle of links.
bool FollowLinks(const std::string& path, std::string& target);

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_ATOMIC_FILE_H_
