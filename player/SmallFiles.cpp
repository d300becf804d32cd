// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/SmallFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathForInterpreter(const std::string& path, const std::string& folder, int folderFd) {
  if (platform::IsUtf8(path)) return path;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  if (!prefix.empty() && path.compare(0, prefix.size(), prefix) == 0) {
    const std::string rest = path.substr(prefix.size());
    if (!rest.empty() && platform::IsUtf8(rest)) {
      return "/proc/self/fd/" + std::to_string(folderFd) + "/" + rest;
    }
  }
  return std::string();
}

std::string ExecutableFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  path[n] = '\0';
  return FolderOf(path);
}

bool MakeFolders(const std::string& folder, std::string& what) {
  if (folder.empty()) {
    what = "cannot make a folder without a name";
    return false;
  }
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (prefix.back() != '/' && mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      what = "cannot make the folder " + prefix + " (" + Reason(errno) + ")";
      return false;
    }
    if (slash == std::string::npos) break;
  }
  return true;
}

bool ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& what,
                   bool& missing) {
  missing = false;
  text.clear();
  struct stat st;
  // stat before open: opening a FIFO or a device could block or do things.
  if (stat(path.c_str(), &st) != 0) {
    missing = errno == ENOENT;
    what = "cannot be read (" + Reason(errno) + ")";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    what = "is not a regular file";
    return false;
  }
  // O_NONBLOCK still, for whatever was swapped in between stat and open.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    missing = errno == ENOENT;
    what = "cannot be read (" + Reason(errno) + ")";
    return false;
  }
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (!ok) what = "is not a regular file";
  char buffer[8192];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      what = "cannot be read (" + Reason(errno) + ")";
      ok = false;
    } else if (got == 0) {
      break;
    } else if (text.size() + static_cast<size_t>(got) > limit) {
      // Counted while reading, not from st_size: the file may grow.
      what = "is larger than " + std::to_string(limit / 1024) + " KiB";
      ok = false;
    } else {
      text.append(buffer, static_cast<size_t>(got));
    }
  }
  close(fd);
  return ok;
}

namespace {

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& text, int mode, std::string& what) {
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder, what)) return false;
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    what = "cannot make a temporary file in " + folder + " (" + Reason(errno) + ")";
    return false;
  }
  bool ok = mode < 0 || fchmod(fd, static_cast<mode_t>(mode) & 07777) == 0;
  ok = ok && WriteAll(fd, text) && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temporary.c_str());
    what = "cannot be written (" + Reason(error) + ")";
    return false;
  }
  // The rename itself reaches the disk only with the folder.
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return true;
}

}  // namespace player
