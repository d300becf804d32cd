// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/FolderWalk.h"

#include "platform/file/FileSystem.h"
#include "platform/file/Path.h"
#include "text/Tokenize.h"

namespace {

FoundFile MakeFoundFile(const std::string& folder, const platform::FolderEntry& entry) {
  FoundFile file;
  file.path = folder + entry.name;
  file.size = static_cast<uint32_t>(entry.size);
  file.lastWrite.dwLowDateTime = static_cast<uint32_t>(entry.lastWrite);
  file.lastWrite.dwHighDateTime = static_cast<uint32_t>(entry.lastWrite >> 32);
  return file;
}

}  // namespace

uint64_t findFiles(const std::string& folder, bool recursive,
                   std::vector<FoundFile>& out) {
  uint64_t total = 0;
  if (folder.empty()) return total;
  std::vector<std::string> stack{folder};
  std::vector<platform::FolderEntry> entries;
  while (!stack.empty()) {
    const std::string current = platform::WithTrailingSlash(std::move(stack.back()));
    stack.pop_back();
    entries.clear();
    platform::Current<platform::FileSystem>().ListFolder(current, entries);
    for (const platform::FolderEntry& entry : entries) {
      total += entry.size;
      if (!entry.isDirectory) {
        out.push_back(MakeFoundFile(current, entry));
      } else if (recursive) {
        stack.push_back(current + entry.name);
      }
    }
  }
  return total;
}

bool hasExtension(const std::string& path, const std::string& list) {
  for (const std::string& item : Tokenize(list, ",")) {
    if (path.size() >= item.size() &&
        path.compare(path.size() - item.size(), item.size(), item) == 0) {
      return true;
    }
  }
  return false;
}
