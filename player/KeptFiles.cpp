// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KeptFiles.h"

#include <dirent.h>

#include "player/StoryFiles.h"

namespace player {

namespace {

// The part of the folder of a story's own files its file name gives.
std::string KeptFilesStem(const std::string& story) {
  std::string stem = StemOf(story);
  for (char& c : stem) {
    if (c == '/' || c == '.' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  return stem.substr(0, 64);
}

}  // namespace

std::string KeptFilesRoot(const std::string& dataFolder) {
  std::string folder = dataFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + "game-files/";
}

std::string KeptFilesFolder(const std::string& dataFolder, const std::string& story,
                            const std::string& crc) {
  return KeptFilesRoot(dataFolder) + KeptFilesStem(story) + (crc.empty() ? "" : "_" + crc);
}

bool MayHaveKeptFiles(const std::string& dataFolder, const std::string& story) {
  const std::string prefix = KeptFilesStem(story);
  DIR* dir = opendir(KeptFilesRoot(dataFolder).c_str());
  if (dir == nullptr) return false;
  bool found = false;
  while (const struct dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) == 0 &&
        (name.size() == prefix.size() || name[prefix.size()] == '_')) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace player
