// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameProcess.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace player {

GameProcess::~GameProcess() { Stop(); }

bool GameProcess::Start(const std::string& dfrotz, const std::string& story,
                        const std::string& folder, int width, int height, std::string& error) {
  if (access(dfrotz.c_str(), X_OK) != 0) {
    error = dfrotz + " cannot be run: " + strerror(errno) + " (install the frotz package)";
    return false;
  }
  // No echo: the player draws the command line itself. No output
  // processing: line feeds arrive as the game wrote them.
  struct termios modes {};
  cfmakeraw(&modes);
  modes.c_lflag |= ICANON;
  modes.c_lflag &= ~(ECHO | ECHONL | ISIG);
  modes.c_oflag &= ~OPOST;
  modes.c_cc[VMIN] = 1;
  struct winsize size {};
  size.ws_col = static_cast<unsigned short>(width);
  size.ws_row = static_cast<unsigned short>(height);

  // Everything the child needs is made before the fork.
  const std::string widthText = std::to_string(width);
  const std::string heightText = std::to_string(height);
  std::vector<const char*> argv = {dfrotz.c_str(), "-q", "-m", "-w", widthText.c_str(),
                                   "-h", heightText.c_str(), story.c_str(), nullptr};
  // dfrotz writes UTF-8 only when the locale says so. The environment is
  // made here: after the fork only async-signal-safe calls may run, the
  // library's audio thread may hold the allocator's lock.
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (strncmp(*entry, "LC_ALL=", 7) != 0) environment.emplace_back(*entry);
  }
  environment.emplace_back("LC_ALL=C.UTF-8");
  std::vector<const char*> envp;
  for (const std::string& entry : environment) envp.push_back(entry.c_str());
  envp.push_back(nullptr);
  int fd = -1;
  const pid_t pid = forkpty(&fd, nullptr, &modes, &size);
  if (pid < 0) {
    error = std::string("cannot make a terminal for the game: ") + strerror(errno);
    return false;
  }
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    signal(SIGPIPE, SIG_DFL);
    execve(argv[0], const_cast<char* const*>(argv.data()), const_cast<char* const*>(envp.data()));
    const char message[] = "narro-play: dfrotz could not be started\n";
    if (write(STDERR_FILENO, message, sizeof message - 1) < 0) _exit(127);
    _exit(127);
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  fcntl(fd, F_SETFD, FD_CLOEXEC);
  m_fd = fd;
  m_pid = pid;
  return true;
}

bool GameProcess::Read(std::string& bytes) {
  if (m_fd < 0) return false;
  char buffer[16384];
  for (;;) {
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
      if (bytes.size() >= 256 * 1024) return true;  // let the player show it
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    // End of file, or EIO: every process on the game's side has gone.
    return false;
  }
}

bool GameProcess::WriteLine(const std::string& line) {
  if (m_fd < 0) return false;
  const std::string text = line + "\n";
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(m_fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      struct pollfd wait = {m_fd, POLLOUT, 0};
      if (poll(&wait, 1, 1000) <= 0) return false;  // the game reads nothing
    } else if (n < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

int GameProcess::Reap(std::string& how) {
  if (m_pid <= 0) {
    how = "not running";
    return 0;
  }
  int status = 0;
  while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
  }
  m_pid = -1;
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
  if (WIFSIGNALED(status)) {
    how = std::string("dfrotz was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
          strsignal(WTERMSIG(status)) + ")";
    return 128 + WTERMSIG(status);
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  how = "dfrotz exited with status " + std::to_string(code);
  return code;
}

void GameProcess::Stop() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGHUP);
  kill(m_pid, SIGTERM);
  for (int waited = 0; waited < 100; ++waited) {
    int status = 0;
    const pid_t done = waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid || (done < 0 && errno == ECHILD)) {
      m_pid = -1;
      break;
    }
    const struct timespec tick = {0, 10 * 1000 * 1000};
    nanosleep(&tick, nullptr);
  }
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
  }
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

}  // namespace player
