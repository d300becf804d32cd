// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file/CountingFileSystem.h"

namespace platform {

namespace {

class CountedInputFile : public InputFile {
 public:
  CountedInputFile(std::unique_ptr<InputFile> inner, uint64_t& bytesRead)
      : m_inner(std::move(inner)), m_bytesRead(bytesRead) {}
  long Read(char* buffer, size_t size) override {
    const long n = m_inner->Read(buffer, size);
    if (n > 0) m_bytesRead += static_cast<uint64_t>(n);
    return n;
  }
  bool Seek(uint64_t offset) override { return m_inner->Seek(offset); }
  uint64_t Size() const override { return m_inner->Size(); }

 private:
  std::unique_ptr<InputFile> m_inner;
  uint64_t& m_bytesRead;
};

}  // namespace

bool CountingFileSystem::ListFolder(const std::string& folder,
                                    std::vector<FolderEntry>& entries) {
  return m_inner.ListFolder(folder, entries);
}

std::unique_ptr<InputFile> CountingFileSystem::OpenForReading(
    const std::string& path) {
  std::unique_ptr<InputFile> file = m_inner.OpenForReading(path);
  if (!file) return nullptr;
  ++opened[path];
  return std::make_unique<CountedInputFile>(std::move(file), bytesRead);
}

bool CountingFileSystem::ReplaceFile(const std::string& path,
                                     const std::string& contents) {
  ++replaced[path];
  bytesWritten[path] += contents.size();
  return m_inner.ReplaceFile(path, contents);
}

std::unique_ptr<FileLock> CountingFileSystem::LockExclusive(
    const std::string& lockPath, int timeoutMs) {
  return m_inner.LockExclusive(lockPath, timeoutMs);
}

bool CountingFileSystem::Exists(const std::string& path) {
  return m_inner.Exists(path);
}

bool CountingFileSystem::Rename(const std::string& from, const std::string& to) {
  return m_inner.Rename(from, to);
}

bool CountingFileSystem::Remove(const std::string& path) {
  return m_inner.Remove(path);
}

}  // namespace platform
