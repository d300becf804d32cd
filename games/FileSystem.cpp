#include "games/FileSystem.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/file/AtomicFile.h"

namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

// Unsigned arithmetic: times before 1601 or far in the future wrap instead
// of overflowing; only the low half is ever compared.
uint64_t FileTimeOf(const struct timespec& time) {
  return static_cast<uint64_t>(time.tv_sec) * 10000000u +
         static_cast<uint64_t>(time.tv_nsec / 100) + kUnixEpochAsFileTime;
}

class CPosixInputFile : public CInputFile {
 public:
  explicit CPosixInputFile(int fd) : m_fd(fd) {}
  ~CPosixInputFile() override { close(m_fd); }

  long Read(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t n = read(m_fd, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  }
  bool Seek(uint64_t offset) override {
    return lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }

 private:
  const int m_fd;
};

// What the entry is, looked at through a symbolic link; false for anything
// that is not listed.
bool DescribeEntry(int dirFd, const dirent& raw, FolderEntry& entry) {
  entry.name = raw.d_name;
  if (entry.name == "." || entry.name == "..") return false;
  if (raw.d_type == DT_DIR) {
    entry.isDirectory = true;
    return true;
  }
  struct stat st;
  if (fstatat(dirFd, raw.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (S_ISLNK(st.st_mode)) {
    // A link to a folder could lead the walk round in a circle.
    if (fstatat(dirFd, raw.d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) return false;
  } else if (S_ISDIR(st.st_mode)) {
    entry.isDirectory = true;
    return true;
  } else if (!S_ISREG(st.st_mode)) {
    return false;
  }
  entry.size = static_cast<uint64_t>(st.st_size);
  entry.lastWrite = FileTimeOf(st.st_mtim);
  return true;
}

class CPosixFileSystem : public CFileSystem {
 public:
  bool ListFolder(const std::string& folder,
                  std::vector<FolderEntry>& entries) override {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
    const int dirFd = dirfd(dir);
    bool ok = true;
    for (;;) {
      errno = 0;
      const dirent* raw = readdir(dir);
      if (raw == nullptr) {
        ok = errno == 0;
        break;
      }
      FolderEntry entry;
      if (DescribeEntry(dirFd, *raw, entry)) entries.push_back(std::move(entry));
    }
    closedir(dir);
    return ok;
  }

  std::unique_ptr<CInputFile> OpenForReading(const std::string& path) override {
    // Not blocking on open, so that a pipe put where a file was listed
    // cannot stop the scan.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      errno = EISDIR;
      return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<CPosixInputFile>(fd);
  }

  bool ReplaceFile(const std::string& path, const std::string& contents) override {
    return platform::ReplaceFileAtomically(path, contents);
  }
};

CFileSystem* g_current = nullptr;

}  // namespace

CFileSystem& CFileSystem::Real() {
  static CPosixFileSystem real;
  return real;
}

CFileSystem& CFileSystem::Current() {
  return g_current != nullptr ? *g_current : Real();
}

void CFileSystem::Use(CFileSystem* fileSystem) { g_current = fileSystem; }

bool CFileSystemWrapper::ListFolder(const std::string& folder,
                                    std::vector<FolderEntry>& entries) {
  return m_inner.ListFolder(folder, entries);
}

namespace {

class CCountedInputFile : public CInputFile {
 public:
  CCountedInputFile(std::unique_ptr<CInputFile> inner, uint64_t& bytesRead)
      : m_inner(std::move(inner)), m_bytesRead(bytesRead) {}
  long Read(char* buffer, size_t size) override {
    const long n = m_inner->Read(buffer, size);
    if (n > 0) m_bytesRead += static_cast<uint64_t>(n);
    return n;
  }
  bool Seek(uint64_t offset) override { return m_inner->Seek(offset); }

 private:
  std::unique_ptr<CInputFile> m_inner;
  uint64_t& m_bytesRead;
};

}  // namespace

std::unique_ptr<CInputFile> CFileSystemWrapper::OpenForReading(
    const std::string& path) {
  std::unique_ptr<CInputFile> file = m_inner.OpenForReading(path);
  if (!file) return nullptr;
  ++opened[path];
  return std::make_unique<CCountedInputFile>(std::move(file), bytesRead);
}

bool CFileSystemWrapper::ReplaceFile(const std::string& path,
                                     const std::string& contents) {
  ++replaced[path];
  bytesWritten[path] += contents.size();
  return m_inner.ReplaceFile(path, contents);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  const std::unique_ptr<CInputFile> file = CFileSystem::Current().OpenForReading(path);
  if (!file) return false;
  char buffer[65536];
  for (;;) {
    const long n = file->Read(buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    contents.append(buffer, static_cast<size_t>(n));
  }
}

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string KeepAside(const std::string& path) {
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::string candidate =
        path + ".broken" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
    if (PathExists(candidate)) continue;
    if (errno != ENOENT) return std::string();
    return rename(path.c_str(), candidate.c_str()) == 0 ? candidate : std::string();
  }
  return std::string();
}
