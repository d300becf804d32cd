// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Cage.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/seccomp.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/locale/TextEncoding.h"

#ifndef LANDLOCK_CREATE_RULESET_VERSION
#define LANDLOCK_CREATE_RULESET_VERSION (1U << 0)
#endif

namespace player {

namespace {

// Node.js reserves far more address space than it uses (WebAssembly's
// guard regions), so the cap is on written memory, which a game's heap
// never comes near; a native interpreter's whole game fits in far less.
constexpr uint64_t kNativeMemory = 1ull << 30;
constexpr uint64_t kNodeMemory = 4ull << 30;

// Removes what `fd` (a folder) holds, never following a link out of it.
void EmptyFolder(int fd, int depth) {
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return;
  }
  std::vector<std::string> names;
  while (const struct dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  for (const std::string& name : names) {
    if (unlinkat(dirfd(dir), name.c_str(), 0) == 0) continue;
    if (errno != EISDIR && errno != EPERM) continue;
    if (depth <= 0) continue;
    const int inner = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (inner < 0) continue;
    EmptyFolder(inner, depth - 1);
    unlinkat(dirfd(dir), name.c_str(), AT_REMOVEDIR);
  }
  closedir(dir);
}

}  // namespace

std::vector<std::string> CagedCommand(const std::string& cage, const CagePlan& plan,
                                      const std::vector<std::string>& argv) {
  std::vector<std::string> words = {cage, "--parent", std::to_string(getpid())};
  for (const std::string& path : plan.read) {
    words.push_back("--read");
    words.push_back(path);
  }
  for (const std::string& path : plan.run) {
    words.push_back("--run");
    words.push_back(path);
  }
  if (plan.writable) {
    words.push_back("--write");
    words.push_back(plan.folder);
  }
  words.push_back("--file-size");
  words.push_back(std::to_string(plan.writable ? kCageFileLimit : 0));
  switch (plan.kind) {
    case CageKind::kNative:
      words.insert(words.end(), {"--filter", "native", "--data-size", std::to_string(kNativeMemory)});
      break;
    case CageKind::kNode:
      words.insert(words.end(), {"--filter", "threads", "--data-size", std::to_string(kNodeMemory)});
      break;
    case CageKind::kOther:
      break;
  }
  words.push_back("--");
  words.insert(words.end(), argv.begin(), argv.end());
  return words;
}

std::vector<std::string> CageEnvironment(const std::string& folder) {
  std::vector<std::string> environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "LANG=C.UTF-8",
                                          "HOME=" + folder, "TMPDIR=" + folder};
  // The game's clock (glk_current_time) is the player's own.
  const char* zone = getenv("TZ");
  if (zone != nullptr && *zone != '\0') environment.push_back(std::string("TZ=") + zone);
  return environment;
}

std::vector<std::string> SystemProgramFiles() {
  // OpenSSL's configuration: Node.js reads it at every start, TLS or not.
  return {"/usr", "/lib", "/lib64", "/bin", "/sbin", "/etc/ld.so.cache", "/etc/localtime",
          "/etc/ssl/openssl.cnf", "/dev/null", "/dev/zero", "/dev/urandom", "/dev/random"};
}

std::string CageShortcomings() {
  static const std::string said = [] {
    std::string missing;
    const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1) {
      missing = "this kernel has no Landlock (Linux 5.13 and later, when enabled): interpreters can read "
                "and write every file the player can";
    } else if (abi < 6) {
      missing = "this kernel's Landlock is version " + std::to_string(abi) +
                ": interpreters are kept from the player's files but not from network connections or "
                "from signalling other programs";
    }
    if (prctl(PR_GET_SECCOMP) < 0 && errno == EINVAL) {
      if (!missing.empty()) missing += "; ";
      missing += "it has no system-call filter: native interpreters may start programs";
    }
    return missing.empty() ? std::string() : "Cage: " + missing + ".";
  }();
  return said;
}

PrivateFolder::~PrivateFolder() { Remove(); }

bool PrivateFolder::Make(std::string& error) {
  Remove();
  std::string base;
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  // The runtime folder is the user's own and often memory; a name that is
  // not plain text could not be given to an interpreter.
  if (runtime != nullptr && runtime[0] == '/' && platform::IsUtf8(runtime) && stat(runtime, &info) == 0 &&
      S_ISDIR(info.st_mode) && info.st_uid == getuid() && access(runtime, W_OK | X_OK) == 0) {
    base = runtime;
  } else {
    base = "/tmp";
  }
  std::string pattern = base + "/narro-play-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    error = "cannot make a private folder in " + base + ": " + strerror(errno);
    return false;
  }
  // As the kernel names it (links resolved): the player looks for the
  // interpreter's open files by that name in /proc.
  char resolved[PATH_MAX];
  m_path = realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
  return true;
}

void PrivateFolder::Remove() {
  if (m_path.empty()) return;
  const int fd = open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) EmptyFolder(fd, 8);
  rmdir(m_path.c_str());
  m_path.clear();
}

}  // namespace player
