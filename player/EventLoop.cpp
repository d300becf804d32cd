// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/EventLoop.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "player/Interpreter.h"
#include "player/PlayerSignals.h"

namespace player {

namespace {

int MillisecondsUntil(EventLoop::Clock::time_point when) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - EventLoop::Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left + 1, 0, 1 << 30));
}

}  // namespace

void EventLoop::Run() {
  while (!m_events.Done() && ServeOnce()) {
  }
}

bool EventLoop::ServeOnce() {
  std::vector<struct pollfd> fds = {{STDIN_FILENO, POLLIN, 0},
                                    {SignalFd(), POLLIN, 0},
                                    {m_interpreter.OutputFd(), POLLIN, 0},
                                    {m_interpreter.ErrorFd(), POLLIN, 0}};
  const int ready = poll(fds.data(), fds.size(), TimeToWait());
  if (ready < 0 && errno != EINTR) return false;
  if (fds[1].revents & POLLIN) {
    m_events.OnSignals(TakeSignals());
    if (m_events.Done()) return false;
  }
  if (fds[3].revents & (POLLIN | POLLHUP | POLLERR)) m_events.OnInterpreterErrors();
  if (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) m_events.OnInterpreterOutput();
  if (m_events.Done()) return false;
  if (fds[0].revents & POLLIN) {
    if (!OnTerminalInput()) return false;
  } else if (fds[0].revents & (POLLHUP | POLLERR)) {
    return false;
  }
  if (m_events.Done()) return false;
  const Clock::time_point now = Clock::now();
  if (m_escapeUntil && now >= *m_escapeUntil) OnEscapeWaitOver();
  if (m_answerDue && now >= *m_answerDue && m_events.GameBusy()) {
    m_events.OnAnswerOverdue();
    return false;
  }
  m_events.OnIdle(now);
  return true;
}

int EventLoop::TimeToWait() const {
  // A timer tick waits while an event is being answered, and an answer
  // is only awaited while one is: neither may wake the loop for nothing.
  const bool busy = m_events.GameBusy();
  int timeout = -1;
  for (const auto& deadline : {m_escapeUntil, busy ? std::nullopt : m_timerDue,
                               busy ? m_answerDue : std::nullopt}) {
    if (!deadline) continue;
    const int left = MillisecondsUntil(*deadline);
    timeout = timeout < 0 ? left : std::min(timeout, left);
  }
  return timeout;
}

bool EventLoop::OnTerminalInput() {
  char buffer[256];
  const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
  if (n == 0) return false;  // the terminal is gone
  if (n > 0) {
    m_keys.Feed(std::string(buffer, static_cast<size_t>(n)));
    m_escapeUntil.reset();
    DispatchKeys();
    if (m_keys.Pending()) m_escapeUntil = Clock::now() + kEscapeWait;
  }
  return true;
}

void EventLoop::DispatchKeys() {
  while (std::optional<Key> key = m_keys.Next()) {
    m_events.OnKey(*key);
    if (m_events.Done()) break;
  }
}

void EventLoop::OnEscapeWaitOver() {
  m_escapeUntil.reset();
  // Whole keys first (typed while the terminal was asked something), then
  // what stands alone.
  DispatchKeys();
  while (std::optional<Key> key = m_keys.Flush()) {
    if (m_events.Done()) break;
    m_events.OnKey(*key);
  }
}

void EventLoop::FeedTyped(const std::string& bytes) {
  if (bytes.empty()) return;
  m_keys.Feed(bytes);
  m_escapeUntil = Clock::now();  // read at the loop's next turn
}

void EventLoop::StartTimer(int interval, bool restart) {
  if (restart || !m_timerDue) m_timerDue = Clock::now() + std::chrono::milliseconds(interval);
}

bool EventLoop::TimerRings(Clock::time_point now, int interval) {
  if (!m_timerDue || now < *m_timerDue) return false;
  m_timerDue = now + std::chrono::milliseconds(interval);
  return true;
}

}  // namespace player
