// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Interpreter.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>

#include "platform/locale/TextEncoding.h"
#include "player/ScreenText.h"

extern char** environ;

namespace player {

namespace {

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count());
}

// True when `pid` has ended within `timeoutMs`; its status in `status`.
bool WaitFor(pid_t pid, int timeoutMs, int& status) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) {
      status = 0;
      return true;  // not our child any more
    }
    if (MillisecondsSince(start) >= timeoutMs) return false;
    const struct timespec tick = {0, 5 * 1000 * 1000};
    nanosleep(&tick, nullptr);
  }
}

}  // namespace

Interpreter::~Interpreter() { Stop(); }

bool Interpreter::Start(const std::vector<std::string>& argv, const std::string& folder,
                        std::string& error) {
  return Spawn(argv, folder, environ, folder, error);
}

bool Interpreter::Start(const std::vector<std::string>& argv, const std::string& folder, std::string& error,
                        const std::vector<std::string>& environment, const std::string& openFolder) {
  std::vector<char*> variables;
  for (const std::string& variable : environment) variables.push_back(const_cast<char*>(variable.c_str()));
  variables.push_back(nullptr);
  return Spawn(argv, folder, variables.data(), openFolder, error);
}

bool Interpreter::Spawn(const std::vector<std::string>& argv, const std::string& folder,
                        char* const* environment, const std::string& openFolder, std::string& error) {
  Stop();
  m_errors.clear();
  if (argv.empty() || argv[0].empty()) {
    error = "no interpreter is named";
    return false;
  }
  m_program = argv[0];
  // An interpreter that ends early closes its input: a write to it must be
  // an error to report, not a SIGPIPE that ends this process.
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + strerror(errno);
    return false;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    error = std::string("cannot make a pipe: ") + strerror(errno);
    return false;
  }
  if (pipe2(err, O_CLOEXEC) != 0) {
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    error = std::string("cannot make a pipe: ") + strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  // glibc's posix_spawn has no chdir action before 2.29's _np one; Debian
  // 12 has it.
  posix_spawn_file_actions_addchdir_np(&actions, folder.empty() ? "." : folder.c_str());
  // The story's folder is open in the interpreter too, for the names of
  // files there that cannot be given as text (PathForInterpreter).
  const int folderFd =
      open(openFolder.empty() ? "." : openFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) posix_spawn_file_actions_adddup2(&actions, folderFd, kFolderFd);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A group of its own: Ctrl-C at the terminal reaches the player only, and
  // Stop ends the interpreter together with anything it started.
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGWINCH}) sigaddset(&defaults, number);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  std::vector<char*> args;
  for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environment);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (folderFd >= 0) close(folderFd);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (failed != 0) {
    close(in[1]);
    close(out[0]);
    close(err[0]);
    error = argv[0] + " cannot be started: " + strerror(failed);
    return false;
  }
  m_pid = pid;
  m_in = in[1];
  m_out = out[0];
  m_err = err[0];
  for (int fd : {m_in, m_out, m_err}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

bool Interpreter::ReadOutput(std::string& bytes, size_t limit) {
  if (m_out < 0) return false;
  char buffer[65536];
  while (bytes.size() < limit) {
    const ssize_t n = read(m_out, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    CloseFd(m_out);
    return false;
  }
  return true;
}

void Interpreter::ReadErrors() {
  if (m_err < 0) return;
  char buffer[16384];
  for (int reads = 0; reads < 64; ++reads) {
    const ssize_t n = read(m_err, buffer, sizeof buffer);
    if (n > 0) {
      m_errors.append(buffer, static_cast<size_t>(n));
      if (m_errors.size() > 2 * kErrorTail) m_errors.erase(0, m_errors.size() - kErrorTail);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;
    CloseFd(m_err);
    return;
  }
}

std::string Interpreter::ErrorTail() const {
  const std::string tail = m_errors.size() > kErrorTail ? m_errors.substr(m_errors.size() - kErrorTail) : m_errors;
  // Escape sequences go whole, so that no remnant of one is shown.
  const std::string clean = platform::Utf8FromWide(ForScreen(platform::WideFromUtf8(tail)));
  const size_t first = clean.find_first_not_of(" \n");
  if (first == std::string::npos) return std::string();
  const size_t last = clean.find_last_not_of(" \n");
  return clean.substr(first, last + 1 - first);
}

bool Interpreter::Write(const std::string& bytes, int timeoutMs) {
  if (m_in < 0) return false;
  const auto start = std::chrono::steady_clock::now();
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(m_in, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      const long left = timeoutMs - MillisecondsSince(start);
      struct pollfd wait = {m_in, POLLOUT, 0};
      if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0) return false;
      continue;
    }
    CloseFd(m_in);  // EPIPE: it closed its input
    return false;
  }
  return true;
}

int Interpreter::Reap(std::string& how, int timeoutMs) {
  if (m_pid <= 0) {
    how = "the interpreter is not running";
    return 0;
  }
  int status = 0;
  if (!WaitFor(m_pid, timeoutMs, status)) {
    Stop();
    how = "the interpreter closed its output and was stopped";
    return 1;
  }
  // Its group outlives it while anything it started runs on.
  kill(-m_pid, SIGKILL);
  m_pid = -1;
  ReadErrors();
  CloseAll();
  if (WIFSIGNALED(status)) {
    how = "the interpreter was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
          strsignal(WTERMSIG(status)) + ")";
    return 128 + WTERMSIG(status);
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  how = "the interpreter exited with status " + std::to_string(code);
  return code;
}

void Interpreter::Stop() {
  if (m_pid > 0) {
    CloseFd(m_in);  // a polite interpreter ends at the end of its input
    kill(-m_pid, SIGTERM);
    int status = 0;
    if (!WaitFor(m_pid, 1000, status)) {
      kill(-m_pid, SIGKILL);
      while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
      }
    }
    // What it started and left behind, whatever it does with SIGTERM.
    kill(-m_pid, SIGKILL);
    m_pid = -1;
  }
  CloseAll();
}

void Interpreter::CloseAll() {
  CloseFd(m_in);
  CloseFd(m_out);
  CloseFd(m_err);
}

bool SplitCommand(const std::string& command, std::vector<std::string>& words) {
  words.clear();
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      else if (c == '\\' && quote == '"' && i + 1 < command.size()) word += command[++i];
      else word += c;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'' || c == '"') quote = c;
    else if (c == '\\' && i + 1 < command.size()) word += command[++i];
    else word += c;
  }
  if (quote != 0) return false;
  if (inWord) words.push_back(word);
  return !words.empty();
}

}  // namespace player
