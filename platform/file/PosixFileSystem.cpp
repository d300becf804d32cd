// SPDX-License-Identifier: GPL-3.0-or-later
// The real file system.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "platform/Immortal.h"
#include "platform/file/AtomicFile.h"
#include "platform/file/FileSystem.h"
#include "platform/file/Permissions.h"

namespace platform {

namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

// Unsigned arithmetic: times before 1601 or far in the future wrap instead
// of overflowing; only the low half is ever compared.
uint64_t FileTimeOf(const struct timespec& time) {
  return static_cast<uint64_t>(time.tv_sec) * 10000000u +
         static_cast<uint64_t>(time.tv_nsec / 100) + kUnixEpochAsFileTime;
}

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
  ~PosixInputFile() override { close(m_fd); }

  long Read(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t n = read(m_fd, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  }
  bool Seek(uint64_t offset) override {
    return lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }
  uint64_t Size() const override { return m_size; }

 private:
  const int m_fd;
  const uint64_t m_size;
};

class PosixFileLock : public FileLock {
 public:
  explicit PosixFileLock(int fd) : m_fd(fd) {}
  ~PosixFileLock() override { close(m_fd); }  // closing lets go of the lock

 private:
  const int m_fd;
};

// The errno for something that is not a regular file.
int NotRegularError(mode_t mode) { return S_ISDIR(mode) ? EISDIR : EINVAL; }

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

uint64_t MonotonicMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u +
         static_cast<uint64_t>(now.tv_nsec / 1000000);
}

class PosixFileSystem : public FileSystem {
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

  std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
    // Looked at before it is opened: opening a device can have effects of
    // its own, and a pipe would block.
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return nullptr;
    if (!S_ISREG(st.st_mode)) {
      errno = NotRegularError(st.st_mode);
      return nullptr;
    }
    if (!ModeAllows(st, Access::kRead)) {
      errno = EACCES;
      return nullptr;
    }
    // Not blocking on open all the same, and looked at again, in case
    // something else was put at the path in between.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      const int error = NotRegularError(st.st_mode);
      close(fd);
      errno = error;
      return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<PosixInputFile>(fd, static_cast<uint64_t>(st.st_size));
  }

  bool ReplaceFile(const std::string& path, const std::string& contents) override {
    return ReplaceFileAtomically(path, contents);
  }

  std::unique_ptr<FileLock> LockExclusive(const std::string& lockPath,
                                          int timeoutMs) override {
    const int fd = open(lockPath.c_str(),
                        O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK,
                        0600);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      errno = EINVAL;
      return nullptr;
    }
    const uint64_t deadline = MonotonicMs() + static_cast<uint64_t>(timeoutMs);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || MonotonicMs() >= deadline) {
        close(fd);
        if (errno == EWOULDBLOCK) errno = ETIMEDOUT;
        return nullptr;
      }
      const struct timespec pause = {0, 2 * 1000 * 1000};
      nanosleep(&pause, nullptr);
    }
    return std::make_unique<PosixFileLock>(fd);
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
  }

  bool Rename(const std::string& from, const std::string& to) override {
    return rename(from.c_str(), to.c_str()) == 0;
  }

  bool Remove(const std::string& path) override {
    return unlink(path.c_str()) == 0;
  }
};

}  // namespace

FileSystem& FileSystem::Real() { return Immortal<PosixFileSystem>(); }


ReadResult ReadWholeFile(const std::string& path, size_t maxBytes,
                         std::string& contents) {
  contents.clear();
  const std::unique_ptr<InputFile> file = Current<FileSystem>().OpenForReading(path);
  if (!file) return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing
                                                        : ReadResult::kUnreadable;
  if (file->Size() > maxBytes) return ReadResult::kUnreadable;
  contents.reserve(static_cast<size_t>(file->Size()));
  char buffer[65536];
  for (;;) {
    const long n = file->Read(buffer, sizeof buffer);
    if (n < 0) return ReadResult::kUnreadable;
    if (n == 0) return ReadResult::kRead;
    // The file may have grown since it was opened.
    if (contents.size() + static_cast<size_t>(n) > maxBytes) {
      contents.clear();
      return ReadResult::kUnreadable;
    }
    contents.append(buffer, static_cast<size_t>(n));
  }
}

std::string KeepAside(const std::string& path) {
  FileSystem& fs = Current<FileSystem>();
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::string candidate =
        path + ".broken" + (attempt == 1 ? "" : "-" + std::to_string(attempt));
    if (fs.Exists(candidate)) continue;
    return fs.Rename(path, candidate) ? candidate : std::string();
  }
  return std::string();
}

}  // namespace platform
