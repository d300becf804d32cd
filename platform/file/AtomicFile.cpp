// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file/AtomicFile.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <vector>

#include "platform/file/Permissions.h"
#include "platform/file/WriteAll.h"

namespace platform {

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary file beside the target, made with O_EXCL so that nothing of
// another process is ever opened, and with mode 0666 so that the kernel
// applies the umask (reading the umask would change it for every thread).
int CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".tmp-" + std::to_string(getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(random() % 1000000);
    const int fd = open(name.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// After the rename the new name lives in the folder; make that last too.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int depth = 0; depth < kMaxLinks; ++depth) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = readlink(target.c_str(), link.data(), PATH_MAX);
    if (n < 0) return false;
    const std::string next(link.data(), static_cast<size_t>(n));
    target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

bool ReplaceFileAtomically(const std::string& path,
                           const std::string& contents) {
  std::string target;
  if (path.empty() || !FollowLinks(path, target)) {
    if (path.empty()) errno = ENOENT;
    return false;
  }
  struct stat old;
  const bool exists = lstat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && !S_ISREG(old.st_mode)) {
    errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  if (exists && !ModeAllows(old, Access::kWrite)) {
    errno = EACCES;
    return false;
  }

  std::string name;
  const int fd = CreateTemporary(target, name);
  if (fd < 0) return false;
  bool ok = true;
  if (exists) {
    ok = fchmod(fd, old.st_mode & 0777) == 0;
    // Root writing a player's file keeps it the player's; nobody else can.
    if (ok && (old.st_uid != geteuid() || old.st_gid != getegid())) {
      (void)!fchown(fd, old.st_uid, old.st_gid);
    }
  }
  ok = ok && WriteAll(fd, contents) && fsync(fd) == 0;
  int savedErrno = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    savedErrno = errno;
  }
  if (ok && rename(name.c_str(), target.c_str()) != 0) {
    ok = false;
    savedErrno = errno;
  }
  if (!ok) {
    unlink(name.c_str());
    errno = savedErrno;
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

}  // namespace platform
