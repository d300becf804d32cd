// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SpeechdAddress.h"

#include <errno.h>
#include <fcntl.h>
#include <libspeechd.h>
#include <netdb.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

extern char** environ;

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left > 60000 ? 60000 : left + 1);
}

std::string LateError(long limitMs) {
  return "no answer within " + std::to_string(limitMs) + " ms";
}

// A non-blocking connect, finished by deadline. -1 with errno when it
// failed, with ETIMEDOUT when late.
int ConnectBy(int family, const sockaddr* address, socklen_t size, Clock::time_point deadline) {
  const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, address, size) == 0) return fd;
  if (errno != EINPROGRESS && errno != EAGAIN) {
    const int why = errno;
    close(fd);
    errno = why;
    return -1;
  }
  pollfd entry = {fd, POLLOUT, 0};
  int failure = ETIMEDOUT;
  while (poll(&entry, 1, MsLeft(deadline)) > 0 || (errno == EINTR && Clock::now() < deadline)) {
    if (entry.revents == 0) continue;
    socklen_t length = sizeof failure;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0) failure = errno;
    if (failure == 0) return fd;
    break;
  }
  close(fd);
  errno = failure;
  return -1;
}

int ConnectUnix(const std::string& path, Clock::time_point deadline) {
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return ConnectBy(AF_UNIX, reinterpret_cast<sockaddr*>(&address), sizeof address, deadline);
}

int ConnectInet(const std::string& host, int port, Clock::time_point deadline) {
  addrinfo hints = {};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    errno = EHOSTUNREACH;
    return -1;
  }
  const int fd = ConnectBy(found->ai_family, found->ai_addr, found->ai_addrlen, deadline);
  const int why = errno;
  freeaddrinfo(found);
  errno = why;
  return fd;
}

// The one start of the server that may be under way.
struct Spawn {
  std::mutex lock;
  pid_t pid = -1;
  int output = -1;  // its standard error
  std::string said;
};

Spawn& TheSpawn() {
  static Spawn* spawn = new Spawn;  // outlives every caller, even at exit
  return *spawn;
}

// Starts speech-dispatcher --spawn for the socket, or goes on waiting for
// the one started before; true once it ended by deadline, with what it said
// and whether it started.
bool SpawnServer(const std::string& socketPath, Clock::time_point deadline, bool* started,
                 std::string* said) {
  Spawn& spawn = TheSpawn();
  const std::lock_guard<std::mutex> guard(spawn.lock);
  if (spawn.pid < 0) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::vector<std::string> words = {"speech-dispatcher", "--spawn", "--communication-method",
                                      "unix_socket", "--socket-path", socketPath};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, "speech-dispatcher", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed != 0) {
      close(pipeFds[0]);
      *said = std::string("speech-dispatcher cannot be started: ") + std::strerror(failed);
      *started = false;
      return true;
    }
    spawn.pid = pid;
    spawn.output = pipeFds[0];
    spawn.said.clear();
  }
  // Its report, until it closes standard error (by ending or going into
  // the background).
  while (spawn.output >= 0) {
    pollfd entry = {spawn.output, POLLIN, 0};
    const int ready = poll(&entry, 1, MsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char chunk[1024];
    const ssize_t got = read(spawn.output, chunk, sizeof chunk);
    if (got > 0) {
      if (spawn.said.size() < 4096) spawn.said.append(chunk, static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    close(spawn.output);
    spawn.output = -1;
  }
  int status = 0;
  pid_t ended = 0;
  while ((ended = waitpid(spawn.pid, &status, WNOHANG)) == 0) {
    if (Clock::now() >= deadline) return false;
    // It closed its output and is about to end: a short wait, not a poll.
    usleep(1000);
  }
  // A host that ignores SIGCHLD has it reaped already (ECHILD): it is
  // taken as started, and the connection tells.
  *started = ended < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
  *said = spawn.said;
  spawn.pid = -1;
  return true;
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

int ConnectToSpeechd(Clock::time_point deadline, long limitMs, std::string* error) {
  char* addressError = nullptr;
  SPDConnectionAddress* address = spd_get_default_address(&addressError);
  if (address == nullptr) {
    if (error) *error = addressError ? addressError : "no speech-dispatcher address";
    std::free(addressError);
    return -1;
  }
  std::free(addressError);
  int fd = -1;
  if (address->method == SPD_METHOD_INET_SOCKET) {
    fd = ConnectInet(address->inet_socket_host ? address->inet_socket_host : "127.0.0.1",
                     address->inet_socket_port, deadline);
    if (fd < 0 && error) {
      *error = errno == ETIMEDOUT ? LateError(limitMs)
                                  : std::string("cannot connect: ") + std::strerror(errno);
    }
  } else {
    const std::string path = address->unix_socket_name ? address->unix_socket_name : "";
    fd = ConnectUnix(path, deadline);
    if (fd < 0 && (errno == ENOENT || errno == ECONNREFUSED)) {
      bool started = false;
      std::string said;
      if (!SpawnServer(path, deadline, &started, &said)) {
        if (error) *error = LateError(limitMs);
      } else if (!started) {
        if (error) *error = "Autospawn failed: " + OneLine(said);
      } else {
        fd = ConnectUnix(path, deadline);
        if (fd < 0 && error) {
          *error = std::string("cannot connect after autospawn (") + OneLine(said) +
                   "): " + std::strerror(errno);
        }
      }
    } else if (fd < 0 && error) {
      *error = errno == ETIMEDOUT ? LateError(limitMs)
                                  : std::string("cannot connect: ") + std::strerror(errno);
    }
  }
  SPDConnectionAddress__free(address);
  return fd;
}

}  // namespace platform
