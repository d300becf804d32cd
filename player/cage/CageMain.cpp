// SPDX-License-Identifier: GPL-3.0-or-later
// narro-cage: starts one interpreter confined, for narro-play.
//
//   narro-cage [--parent PID] [--read PATH]... [--run PATH]... [--write DIR]
//              [--file-size BYTES] [--data-size BYTES] [--filter native|threads]
//              -- PROGRAM [ARGUMENT]...
//
// A story is untrusted code: what it may do is what its interpreter may do.
// So before PROGRAM starts, this process (which becomes PROGRAM) takes on,
// each where the kernel has it:
// - death with the player (the parent named by --parent): the interpreter
//   never outlives narro-play, however narro-play ends;
// - no new privileges, no core dumps, a cap on the size of any file it
//   writes and on its memory, a bounded number of open files;
// - a Landlock domain: it reads only beneath the --read and --run paths
//   (and runs programs only beneath --run), writes only beneath --write,
//   makes no TCP connection, and signals no process outside its own cage;
// - a system-call filter: no new process (--filter native: no new thread
//   either; threads: threads only), no network socket, no ptrace, no
//   mounts, namespaces, kernel keys, BPF or io_uring.
// It runs in the folder it was started in, with the environment it was
// given: narro-play chooses both (a private folder, a few variables).
//
// What the kernel lacks is left out and PROGRAM starts all the same:
// narro-play finds out what this kernel offers itself (player/Cage.h) and
// says so in its log. A cage that the kernel offers but that cannot be set
// up is a failure: exit status 125 and a line on standard error, and
// PROGRAM never starts. 127: PROGRAM could not be started.
#include <errno.h>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

// Access rights newer than this system's kernel headers.
#ifndef LANDLOCK_ACCESS_FS_REFER
#define LANDLOCK_ACCESS_FS_REFER (1ULL << 13)
#endif
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif
#ifndef LANDLOCK_ACCESS_FS_IOCTL_DEV
#define LANDLOCK_ACCESS_FS_IOCTL_DEV (1ULL << 15)
#endif
#ifndef LANDLOCK_ACCESS_NET_BIND_TCP
#define LANDLOCK_ACCESS_NET_BIND_TCP (1ULL << 0)
#define LANDLOCK_ACCESS_NET_CONNECT_TCP (1ULL << 1)
#endif
#ifndef LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET
#define LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET (1ULL << 0)
#define LANDLOCK_SCOPE_SIGNAL (1ULL << 1)
#endif

namespace {

constexpr int kCageFailed = 125;
constexpr int kNotStarted = 127;

// The ruleset as the newest kernels take it; an older kernel is given only
// the fields it knows (its size says which).
struct RulesetAttr {
  uint64_t handled_access_fs;
  uint64_t handled_access_net;
  uint64_t scoped;
};

struct Options {
  pid_t parent = 0;
  std::vector<std::string> read, run, write;
  rlim_t fileSize = 0;
  bool fileSizeSet = false;
  rlim_t dataSize = 0;
  std::string filter;
  std::vector<char*> program;
};

[[noreturn]] void Fail(const std::string& what) {
  fprintf(stderr, "narro-cage: %s\n", what.c_str());
  _exit(kCageFailed);
}

bool ParseSize(const char* text, rlim_t& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long n = strtoull(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0') return false;
  value = static_cast<rlim_t>(n);
  return true;
}

Options Parse(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) Fail("option " + word + " needs a value");
    const char* value = argv[++i];
    if (word == "--parent") {
      options.parent = static_cast<pid_t>(atol(value));
    } else if (word == "--read") {
      options.read.push_back(value);
    } else if (word == "--run") {
      options.run.push_back(value);
    } else if (word == "--write") {
      options.write.push_back(value);
    } else if (word == "--file-size") {
      if (!ParseSize(value, options.fileSize)) Fail("--file-size takes a number of bytes");
      options.fileSizeSet = true;
    } else if (word == "--data-size") {
      if (!ParseSize(value, options.dataSize)) Fail("--data-size takes a number of bytes");
    } else if (word == "--filter") {
      options.filter = value;
      if (options.filter != "native" && options.filter != "threads") Fail("unknown --filter " + options.filter);
    } else {
      Fail("unknown option " + word);
    }
  }
  for (; i < argc; ++i) options.program.push_back(argv[i]);
  if (options.program.empty()) Fail("no program to start");
  options.program.push_back(nullptr);
  return options;
}

void Limit(int resource, rlim_t value, const char* name) {
  const struct rlimit limit = {value, value};
  if (setrlimit(resource, &limit) != 0) Fail(std::string("cannot limit ") + name + ": " + strerror(errno));
}

void DieWithParent(pid_t parent) {
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) Fail(std::string("PR_SET_PDEATHSIG: ") + strerror(errno));
  // The parent may have ended before the line above: then nobody would
  // ever send the signal.
  if (parent > 0 && getppid() != parent) _exit(kCageFailed);
}

int LandlockAbi() {
  const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  return abi < 0 ? 0 : static_cast<int>(abi);
}

uint64_t FileSystemRights(int abi) {
  uint64_t rights = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;  // the first thirteen
  if (abi >= 2) rights |= LANDLOCK_ACCESS_FS_REFER;
  if (abi >= 3) rights |= LANDLOCK_ACCESS_FS_TRUNCATE;
  if (abi >= 5) rights |= LANDLOCK_ACCESS_FS_IOCTL_DEV;
  return rights;
}

// The rights that make sense on a file rather than a folder.
uint64_t FileRights(int abi) {
  uint64_t rights = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_READ_FILE;
  if (abi >= 3) rights |= LANDLOCK_ACCESS_FS_TRUNCATE;
  if (abi >= 5) rights |= LANDLOCK_ACCESS_FS_IOCTL_DEV;
  return rights;
}

// A path that is not there is left out: the interpreter cannot reach it
// either.
void AllowBeneath(int ruleset, const std::string& path, uint64_t rights, int abi) {
  const int fd = open(path.c_str(), O_PATH | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  if (fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode)) rights &= FileRights(abi);
  struct landlock_path_beneath_attr rule = {};
  rule.allowed_access = rights;
  rule.parent_fd = fd;
  const long done = syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
  const int error = errno;
  close(fd);
  if (done != 0) Fail("Landlock rule for " + path + ": " + strerror(error));
}

void EnterLandlock(const Options& options) {
  const int abi = LandlockAbi();
  if (abi <= 0) return;
  RulesetAttr attr = {};
  attr.handled_access_fs = FileSystemRights(abi);
  size_t size = sizeof(uint64_t);
  if (abi >= 4) {
    attr.handled_access_net = LANDLOCK_ACCESS_NET_BIND_TCP | LANDLOCK_ACCESS_NET_CONNECT_TCP;
    size = 2 * sizeof(uint64_t);
  }
  if (abi >= 6) {
    attr.scoped = LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET | LANDLOCK_SCOPE_SIGNAL;
    size = 3 * sizeof(uint64_t);
  }
  const int ruleset = static_cast<int>(syscall(SYS_landlock_create_ruleset, &attr, size, 0));
  if (ruleset < 0) Fail(std::string("Landlock ruleset: ") + strerror(errno));
  const uint64_t read = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
  for (const std::string& path : options.read) AllowBeneath(ruleset, path, read, abi);
  for (const std::string& path : options.run) {
    AllowBeneath(ruleset, path, read | LANDLOCK_ACCESS_FS_EXECUTE, abi);
  }
  for (const std::string& path : options.write) AllowBeneath(ruleset, path, attr.handled_access_fs, abi);
  if (syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) {
    Fail(std::string("Landlock: ") + strerror(errno));
  }
  close(ruleset);
}

void Deny(scmp_filter_ctx filter, int call, uint32_t action = SCMP_ACT_ERRNO(EPERM)) {
  // A call this architecture lacks is simply not there to deny.
  if (call < 0) return;
  if (seccomp_rule_add(filter, action, call, 0) != 0) Fail("cannot add a system-call rule");
}

void EnterFilter(const std::string& kind) {
  if (kind.empty()) return;
  // A kernel without seccomp: nothing to enter (narro-play has said so).
  if (prctl(PR_GET_SECCOMP) < 0 && errno == EINVAL) return;
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
  if (filter == nullptr) Fail("cannot make a system-call filter");
  const uint32_t denied = SCMP_ACT_ERRNO(EPERM);
  // New processes. clone3 passes its flags in memory a filter cannot read:
  // "not here" makes the C library fall back to clone, whose flags it can.
  for (const char* name : {"fork", "vfork", "execveat"}) Deny(filter, seccomp_syscall_resolve_name(name));
  Deny(filter, seccomp_syscall_resolve_name("clone3"), SCMP_ACT_ERRNO(ENOSYS));
  if (kind == "native") {
    Deny(filter, SCMP_SYS(clone));
  } else if (seccomp_rule_add(filter, denied, SCMP_SYS(clone), 1,
                              SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)) != 0) {
    Fail("cannot add a system-call rule");
  }
  // The network, other processes, and the kernel's riskier corners.
  for (const char* name :
       {"socket", "socketpair", "ptrace", "process_vm_readv", "process_vm_writev", "mount", "umount2",
        "pivot_root", "chroot", "unshare", "setns", "bpf", "perf_event_open", "keyctl", "add_key",
        "request_key", "io_uring_setup", "io_uring_enter", "io_uring_register", "userfaultfd",
        "init_module", "finit_module", "delete_module", "kexec_load", "kexec_file_load", "reboot",
        "swapon", "swapoff", "acct", "quotactl", "open_by_handle_at", "name_to_handle_at",
        "fanotify_init", "mount_setattr", "move_mount", "open_tree", "fsopen", "fsmount", "fspick",
        "personality", "syslog", "uselib", "vhangup"}) {
    Deny(filter, seccomp_syscall_resolve_name(name));
  }
  // No new privileges was asked for already; the filter needs it.
  const int loaded = seccomp_load(filter);
  seccomp_release(filter);
  if (loaded != 0) Fail(std::string("cannot enter the system-call filter: ") + strerror(-loaded));
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  DieWithParent(options.parent);
  Limit(RLIMIT_CORE, 0, "core dumps");
  Limit(RLIMIT_NOFILE, 256, "open files");
  if (options.fileSizeSet) Limit(RLIMIT_FSIZE, options.fileSize, "file size");
  if (options.dataSize > 0) Limit(RLIMIT_DATA, options.dataSize, "memory");
  // A file too large is an error to report, not a signal that ends the game.
  signal(SIGXFSZ, SIG_IGN);
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) Fail(std::string("no new privileges: ") + strerror(errno));
  EnterLandlock(options);
  EnterFilter(options.filter);
  execvp(options.program[0], options.program.data());
  fprintf(stderr, "narro-cage: %s cannot be started: %s\n", options.program[0], strerror(errno));
  return kNotStarted;
}
