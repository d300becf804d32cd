// SPDX-License-Identifier: GPL-3.0-or-later
// A file system that passes every call on to another one and counts what
// went through: how often each file was opened, the bytes read, the bytes
// written and the replacements of each file. Tests derive from it to
// change single operations (refuse a file, make a folder vanish).
#ifndef NARRO_PLATFORM_FILE_COUNTING_FILE_SYSTEM_H_
#define NARRO_PLATFORM_FILE_COUNTING_FILE_SYSTEM_H_

#include <map>

#include "platform/file/FileSystem.h"

namespace platform {

class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : m_inner(inner) {}

  bool ListFolder(const std::string& folder,
                  std::vector<FolderEntry>& entries) override;
  std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
  bool ReplaceFile(const std::string& path,
                   const std::string& contents) override;
  std::unique_ptr<FileLock> LockExclusive(const std::string& lockPath,
                                          int timeoutMs) override;
  bool Exists(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;

  // Successful opens per path.
  std::map<std::string, int> opened;
  uint64_t bytesRead = 0;
  // Bytes handed to ReplaceFile, and the number of calls, per path.
  std::map<std::string, uint64_t> bytesWritten;
  std::map<std::string, int> replaced;

 protected:
  FileSystem& m_inner;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_COUNTING_FILE_SYSTEM_H_
