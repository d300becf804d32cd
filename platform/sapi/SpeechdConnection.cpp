// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdConnection.h"

#include <signal.h>
#include <sys/socket.h>
#include <time.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Immortal.h"
#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"

namespace platform {

namespace {

constexpr char kClientName[] = "narro";

// Shared by the caller and the thread that opens: whichever leaves last
// frees it, and a connection that arrives after the caller gave up is
// closed by the opening thread itself.
struct Attempt {
  std::mutex lock;
  std::condition_variable done;
  bool finished = false;
  bool abandoned = false;
  SPDConnection* connection = nullptr;
  std::string error;
};

bool Answers(SPDConnection* connection) {
  char* reply = nullptr;
  const bool answered =
      spd_execute_command_with_reply(connection, "HISTORY GET CLIENT_ID", &reply) == 0 &&
      reply != nullptr;
  std::free(reply);
  return answered;
}

void Open(const std::shared_ptr<Attempt>& attempt, const std::string& name,
          SpeechdMode mode) {
  BlockBrokenPipeSignal();
  char* error = nullptr;
  SPDConnection* connection = spd_open2(
      kClientName, name.c_str(), nullptr,
      mode == SpeechdMode::kNotifications ? SPD_MODE_THREADED : SPD_MODE_SINGLE,
      nullptr, 1, &error);
  // spd_open2 hands back a connection even when the server hung up on its
  // first command (a socket whose server is gone, a proxy with nobody
  // behind it): only an answer shows that someone is there.
  if (connection != nullptr && !Answers(connection)) {
    spd_close(connection);
    connection = nullptr;
    if (error == nullptr) error = strdup("the server hung up without answering");
  }
  const std::lock_guard<std::mutex> guard(attempt->lock);
  if (error != nullptr) {
    attempt->error = error;
    std::free(error);
  }
  if (attempt->abandoned) {
    if (connection) spd_close(connection);
  } else {
    attempt->connection = connection;
  }
  attempt->finished = true;
  attempt->done.notify_all();
}

}  // namespace

SpeechdLimits& SpeechdLimits::Real() { return Immortal<SpeechdLimits>(); }

void LogSpeechLine(const std::string& line) {
  OutputDebugString(line);
  WriteLogMirror(line);
}

void BlockBrokenPipeSignal() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

BrokenPipeGuard::BrokenPipeGuard() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &m_previous);
}

BrokenPipeGuard::~BrokenPipeGuard() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  const timespec now = {0, 0};
  while (sigtimedwait(&pipe, nullptr, &now) == SIGPIPE) {
  }
  pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

void LimitReplyWait(SPDConnection* connection, std::chrono::milliseconds limit) {
  timeval wait = {};
  wait.tv_sec = static_cast<time_t>(limit.count() / 1000);
  wait.tv_usec = static_cast<suseconds_t>((limit.count() % 1000) * 1000);
  setsockopt(connection->socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
}

SPDConnection* OpenSpeechd(const char* connectionName, SpeechdMode mode,
                           std::chrono::milliseconds limit, std::string* error) {
  auto attempt = std::make_shared<Attempt>();
  try {
    std::thread(Open, attempt, std::string(connectionName), mode).detach();
  } catch (const std::system_error&) {
    if (error) *error = "no thread to open the connection on";
    return nullptr;
  }
  std::unique_lock<std::mutex> lock(attempt->lock);
  if (!attempt->done.wait_for(lock, limit, [&] { return attempt->finished; })) {
    // Left to finish on its own: spd_open2 cannot be interrupted.
    attempt->abandoned = true;
    if (error) {
      *error = "no answer within " + std::to_string(limit.count()) + " ms";
    }
    return nullptr;
  }
  if (!attempt->connection && error) *error = attempt->error;
  return attempt->connection;
}

}  // namespace platform
