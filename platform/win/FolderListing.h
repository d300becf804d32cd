// SPDX-License-Identifier: GPL-3.0-or-later
// The folders under a folder, for the folder chooser.
#ifndef NARRO_PLATFORM_WIN_FOLDER_LISTING_H_
#define NARRO_PLATFORM_WIN_FOLDER_LISTING_H_

#include <string>
#include <vector>

namespace platform {

// The names of the folders in `folder` (links to folders included), in
// name order with case ignored. False when the folder cannot be opened:
// it is gone, or its permission bits, read as for an ordinary user, do not
// let it be read and entered.
bool ListFolders(const std::string& folder, std::vector<std::string>& names);

// "/a/b" from "/a/b/c"; "/" from "/a" and from "/".
std::string ParentFolder(const std::string& path);
// "c" from "/a/b/c"; empty from "/".
std::string LastName(const std::string& path);
// The folder and a name in it, with one '/' between.
std::string JoinFolder(const std::string& folder, const std::string& name);
// Without trailing '/' (the root stays "/"); a relative path is taken from
// the working folder.
std::string NormalFolder(const std::string& path);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_FOLDER_LISTING_H_
