// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/SaveFile.h"

#include <vector>

#include "core/AppDirectory.h"
#include "core/Log.h"
#include "games/Identification.h"
#include "platform/file/MakeFolders.h"
#include "platform/file/Path.h"
#include "platform/file/Permissions.h"

namespace {

bool IsControl(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool IsTrimmed(char c) { return c == ' ' || IsControl(c); }

// The folder the save goes into, ending in '/'; empty when none can be
// written.
std::string WritableFolderFor(const std::string& story) {
  const std::string own = storyFolder(story);
  if (platform::MayWriteInFolder(own)) return own;
  const std::string saves = dataSavesFolder();
  if (!platform::MakeFolders(saves, 0700)) {
    LogLine("Could not make the saves folder %s: %s", saves, SystemErrorText());
    return std::string();
  }
  if (!platform::MayWriteInFolder(saves)) {
    LogLine("Could not write in the saves folder %s", saves);
    return std::string();
  }
  return saves;
}

}  // namespace

std::string cleanSaveName(const std::string& name) {
  size_t first = 0;
  size_t last = name.size();
  while (first < last && IsTrimmed(name[first])) ++first;
  while (last > first && IsTrimmed(name[last - 1])) --last;
  std::string clean;
  clean.reserve(last - first);
  for (size_t i = first; i < last; ++i) {
    const char c = name[i];
    const bool breaksTag = c == '%' && !clean.empty() && clean.back() == '_';
    clean += c == '/' || IsControl(c) || breaksTag ? '_' : c;
  }
  return clean;
}

bool isSaveExtension(const std::string& extension) {
  if (extension.size() < 2 || extension[0] != '.') return false;
  for (const char c : extension) {
    if (c == '/' || c == '%' || IsControl(c)) return false;
  }
  return true;
}

std::string storyFolder(const std::string& story) {
  const size_t slash = story.rfind('/');
  if (story.empty() || slash + 1 == story.size()) return std::string();
  std::string folder = slash == std::string::npos ? std::string() : story.substr(0, slash + 1);
  if (folder.empty() || folder[0] != '/') {
    const std::string working = platform::WorkingFolder();
    if (working.empty()) return std::string();
    folder = (working == "/" ? working : working + "/") + folder;
  }
  return folder;
}

std::string dataSavesFolder() { return GetAppDirectory() + "saves/"; }

bool saveFilePath(const std::string& story, const std::string& name,
                  const std::string& extension, std::string& path) {
  const std::string clean = cleanSaveName(name);
  if (clean.empty() || !isSaveExtension(extension)) return false;
  const FileCrc crc = fileCRC(story);
  if (!crc.ok) {
    LogLine("load fail: Could not load file: %s", story);
    return false;
  }
  const std::string fileName = clean + "_%" + crcText(crc.crc) + "%_" + extension;
  if (fileName.size() > platform::kLongestFileName) {
    LogLine("Save name too long: %s", fileName);
    return false;
  }
  const std::string folder = WritableFolderFor(story);
  if (folder.empty()) return false;
  path = folder + fileName;
  return true;
}
