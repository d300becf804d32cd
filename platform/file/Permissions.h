// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a file's permission bits let this process read or write it.
#ifndef NARRO_PLATFORM_FILE_PERMISSIONS_H_
#define NARRO_PLATFORM_FILE_PERMISSIONS_H_

#include <sys/stat.h>

#include <string>

namespace platform {

enum class Access { kRead, kWrite };

// The bits are read the way the kernel reads them for an ordinary user:
// the owner's, else the group's, else the others'. Root gets no exception
// here, so that a scratch list its owner made read-only, or a file of
// another user, is left alone even by a host running as root.
bool ModeAllows(const struct stat& st, Access access);

// Whether this process may make files in the folder: it is a folder (a
// link to one counts), its bits as ModeAllows reads them let it write, and
// the kernel agrees (search permission, a file system mounted for writing).
bool MayWriteInFolder(const std::string& folder);

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_PERMISSIONS_H_
