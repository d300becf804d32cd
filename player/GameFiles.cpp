// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameFiles.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "player/SmallFiles.h"

namespace player {

namespace {

// An error number in the player's words.
std::string Words(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return "the disk is full";
    case EROFS:
      return "the disk cannot be written";
    case EACCES:
    case EPERM:
      return "the folder cannot be written";
    case EFBIG:
      return "the file is too large";
    case ENAMETOOLONG:
      return "the name is too long";
    default: {
      std::string text = strerror(error);
      if (!text.empty()) text[0] = static_cast<char>(tolower(static_cast<unsigned char>(text[0])));
      return text;
    }
  }
}

// What is at `name` in folder `dir` that must not be written, or empty.
std::string RefusalFor(const struct stat& info) {
  if (S_ISLNK(info.st_mode)) return "it is a symbolic link";
  if (S_ISDIR(info.st_mode)) return "it is a folder";
  if (S_ISFIFO(info.st_mode)) return "it is a named pipe";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "it is a device";
  if (S_ISSOCK(info.st_mode)) return "it is a socket";
  if (!S_ISREG(info.st_mode)) return "it is not a regular file";
  if (info.st_uid != getuid()) return "it belongs to another user";
  return std::string();
}

bool WriteAll(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies all of `from` into `to`; errno tells why not.
bool Copy(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(to, buffer, static_cast<size_t>(n))) return false;
  }
}

// A regular file opened to read, never a link, a FIFO or a device, of at
// most `limit` bytes: its descriptor, or -1 with the reason in `error`.
int OpenToRead(const std::string& path, uint64_t limit, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ELOOP ? "it is a symbolic link" : Words(errno);
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "it is not a regular file";
    close(fd);
    return -1;
  }
  if (static_cast<uint64_t>(info.st_size) > limit) {
    error = "it is larger than " + std::to_string(limit >> 20) + " MiB";
    close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// Renames without replacing: false with EEXIST when something is there.
bool RenameNoReplace(int dir, const std::string& from, const std::string& to) {
  if (syscall(SYS_renameat2, dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without it: a new link fails when the name is taken.
  if (linkat(dir, from.c_str(), dir, to.c_str(), 0) != 0) return false;
  unlinkat(dir, from.c_str(), 0);
  return true;
}

// Whether process `pid` holds `path` open.
bool HoldsOpen(pid_t pid, const std::string& path) {
  if (pid <= 0) return false;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  DIR* dir = opendir(fds.c_str());
  if (dir == nullptr) return false;
  bool open = false;
  while (const struct dirent* entry = readdir(dir)) {
    char target[4096];
    const ssize_t n = readlinkat(dirfd(dir), entry->d_name, target, sizeof target - 1);
    if (n <= 0) continue;
    target[n] = '\0';
    if (path == target) {
      open = true;
      break;
    }
  }
  closedir(dir);
  return open;
}

// A private copy of the regular file `from` at `inside`, mode 0600; false,
// with the reason in `error`, leaving nothing behind.
bool CopyInto(const std::string& from, const std::string& inside, uint64_t limit, std::string& error) {
  const int source = OpenToRead(from, limit, error);
  if (source < 0) return false;
  const int to = open(inside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  bool done = to >= 0 && Copy(source, to);
  int why = errno;
  if (to >= 0 && close(to) != 0 && done) {
    done = false;
    why = errno;
  }
  close(source);
  if (!done) {
    unlink(inside.c_str());
    error = Words(why);
  }
  return done;
}

}  // namespace

std::string RefusalToWrite(const std::string& target, bool& exists) {
  struct stat info {};
  exists = lstat(target.c_str(), &info) == 0;
  if (!exists) {
    if (errno == ENOENT) return std::string();
    return Words(errno);
  }
  return RefusalFor(info);
}

bool PlaceWhole(const std::string& from, const std::string& to, bool mayReplace, uint64_t limit,
                std::string& error) {
  const int source = OpenToRead(from, limit, error);
  if (source < 0) {
    error = "the game's file cannot be read: " + error;
    return false;
  }
  const std::string base = BaseName(to);
  const int dir = open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0 || base.empty()) {
    error = dir < 0 ? Words(errno) : "the file has no name";
    close(source);
    if (dir >= 0) close(dir);
    return false;
  }
  mode_t mode = 0666;  // the umask applies when it is made
  struct stat there {};
  if (fstatat(dir, base.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
    error = RefusalFor(there);
    if (error.empty() && !mayReplace) error = "a file of that name was made meanwhile, and is kept";
    if (!error.empty()) {
      close(source);
      close(dir);
      return false;
    }
    mode = there.st_mode & 07777;
  }
  static unsigned counter = 0;
  const std::string temporary = "." + base.substr(0, 120) + ".narro-" + std::to_string(getpid()) + "-" +
                                std::to_string(++counter);
  const int out = openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  bool done = out >= 0;
  int why = errno;
  if (done && mode != 0666) fchmod(out, mode);
  if (done && !(Copy(source, out) && fsync(out) == 0)) {
    done = false;
    why = errno;
  }
  if (out >= 0 && close(out) != 0 && done) {
    done = false;
    why = errno;
  }
  if (done) {
    done = mayReplace ? renameat(dir, temporary.c_str(), dir, base.c_str()) == 0
                      : RenameNoReplace(dir, temporary, base);
    why = errno;
    if (!done && why == EEXIST) {
      unlinkat(dir, temporary.c_str(), 0);
      error = "a file of that name was made meanwhile, and is kept";
      close(source);
      close(dir);
      return false;
    }
  }
  if (!done) {
    if (out >= 0) unlinkat(dir, temporary.c_str(), 0);
    error = Words(why);
  } else {
    fsync(dir);  // the new name too must survive a crash
  }
  close(source);
  close(dir);
  return done;
}

void GameFiles::Reset(const std::string& folder) {
  m_folder = folder;
  m_pending.clear();
  m_seeded.clear();
}

namespace {

// The player's own names in the private folder: what it lends and what it
// expects. A game's own files by name are everything else.
const char kOwnPrefix[] = "narro-file-";

bool IsOwnName(const std::string& name) { return name.compare(0, sizeof kOwnPrefix - 1, kOwnPrefix) == 0; }

// The regular files directly in `folder`, at most `most`.
std::vector<std::string> RegularFilesIn(const std::string& folder, size_t most) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const struct dirent* entry = readdir(dir)) {
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
    if (names.size() >= most) break;
    names.push_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::string GameFiles::NewName(const std::string& ending) {
  return m_folder + "/" + kOwnPrefix + std::to_string(++m_counter) + ending;
}

bool GameFiles::Seed(const std::string& store, std::string& error) {
  for (const std::string& name : RegularFilesIn(store, kKeptFiles)) {
    if (IsOwnName(name)) continue;
    const std::string inside = m_folder + "/" + name;
    if (!CopyInto(store + "/" + name, inside, kFileLimit, error)) {
      error = name + ": " + error;
      return false;
    }
    struct stat info {};
    if (stat(inside.c_str(), &info) == 0) m_seeded[name] = {info.st_size, info.st_mtim};
  }
  return true;
}

std::vector<GameFiles::Outcome> GameFiles::KeepMade(const std::function<std::string()>& store) {
  std::vector<Outcome> outcomes;
  if (m_folder.empty()) return outcomes;
  std::vector<std::string> made;
  for (const std::string& name : RegularFilesIn(m_folder, kKeptFiles + 64)) {
    if (IsOwnName(name)) continue;
    struct stat info {};
    const auto seeded = m_seeded.find(name);
    if (seeded != m_seeded.end() && stat((m_folder + "/" + name).c_str(), &info) == 0 &&
        info.st_size == seeded->second.size && info.st_mtim.tv_sec == seeded->second.modified.tv_sec &&
        info.st_mtim.tv_nsec == seeded->second.modified.tv_nsec) {
      continue;  // as it was copied in
    }
    made.push_back(name);
  }
  if (made.empty()) return outcomes;
  const std::string folder = store();
  std::string error;
  if (folder.empty() || !MakeFolders(folder, error)) {
    outcomes.push_back({folder, false, folder.empty() ? "the game's own folder has no name" : error});
    return outcomes;
  }
  size_t kept = m_seeded.size();
  for (const std::string& name : made) {
    if (m_seeded.count(name) == 0 && ++kept > kKeptFiles) {
      outcomes.push_back({folder + "/" + name, false, "the game keeps at most 100 files"});
      break;
    }
    Outcome outcome{folder + "/" + name, false, std::string()};
    PlaceWhole(m_folder + "/" + name, outcome.target, true, kFileLimit, outcome.error);
    outcomes.push_back(outcome);
  }
  return outcomes;
}

std::string GameFiles::Lend(const std::string& source, std::string& error) {
  const size_t dot = BaseName(source).rfind('.');
  const std::string inside = NewName(dot == std::string::npos ? "" : BaseName(source).substr(dot));
  return CopyInto(source, inside, kFileLimit, error) ? inside : std::string();
}

std::string GameFiles::Expect(const std::string& target, bool save, bool replace, bool append,
                              std::string& error) {
  const size_t dot = BaseName(target).rfind('.');
  const std::string inside = NewName(dot == std::string::npos ? "" : BaseName(target).substr(dot));
  bool exists = false;
  // Appending starts from the file as it is.
  if (append && RefusalToWrite(target, exists).empty() && exists &&
      !CopyInto(target, inside, kFileLimit, error)) {
    return std::string();
  }
  m_pending.push_back({inside, target, save, replace});
  return inside;
}

std::vector<GameFiles::Outcome> GameFiles::PlaceFinished(pid_t pid, bool atEnd) {
  std::vector<Outcome> outcomes;
  std::vector<Pending> still;
  for (const Pending& file : m_pending) {
    struct stat info {};
    const bool written = lstat(file.inside.c_str(), &info) == 0;
    if (!atEnd && written && HoldsOpen(pid, file.inside)) {
      still.push_back(file);
      continue;
    }
    // A file the game never wrote is its own failure, which it tells.
    if (!written) continue;
    // A save left when the interpreter ended may be half written.
    if (atEnd && file.save) {
      unlink(file.inside.c_str());
      outcomes.push_back({file.target, file.save, "the game ended before it had finished writing it"});
      continue;
    }
    Outcome outcome{file.target, file.save, std::string()};
    PlaceWhole(file.inside, file.target, file.replace, kFileLimit, outcome.error);
    unlink(file.inside.c_str());
    outcomes.push_back(outcome);
  }
  m_pending = still;
  return outcomes;
}

}  // namespace player
