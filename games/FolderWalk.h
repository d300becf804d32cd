// SPDX-License-Identifier: GPL-3.0-or-later
// The walk through a folder tree that both scans share, and the file-name
// ending test they filter with.
#ifndef NARRO_GAMES_FOLDER_WALK_H_
#define NARRO_GAMES_FOLDER_WALK_H_

#include <cstdint>
#include <string>
#include <vector>

// A Windows file time in its two halves; the cache compares the low one.
struct FileTime {
  uint32_t dwLowDateTime = 0;
  uint32_t dwHighDateTime = 0;
};

struct FoundFile {
  std::string path;   // folder path + name, spelt as listed
  uint32_t size = 0;  // low 32 bits of the size
  FileTime lastWrite;
};

// Appends every file under folder (below it too when recursive) to out:
// the files of a folder before those of its subfolders, and of sibling
// subfolders the one listed last first. A folder that cannot be listed is
// passed over. Returns the sum of the file sizes, in 64 bits so that no
// folder sums to 0 by wrapping; folders count 0. An empty folder path names
// no folder.
uint64_t findFiles(const std::string& folder, bool recursive,
                   std::vector<FoundFile>& out);

// True when path ends with one of the comma-separated items of list,
// compared case-sensitively. Empty items are ignored.
bool hasExtension(const std::string& path, const std::string& list);

#endif  // NARRO_GAMES_FOLDER_WALK_H_
