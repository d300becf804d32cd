// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SsipChannel.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "platform/sapi/speechd/SpeechdAddress.h"

namespace platform {

namespace {

// Milliseconds left until deadline for poll(): never negative.
int MsLeft(SsipClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SsipClock::now()).count();
  if (left <= 0) return 0;
  return left > 60000 ? 60000 : static_cast<int>(left) + 1;
}

bool WaitFor(int fd, short events, SsipClock::time_point deadline) {
  for (;;) {
    pollfd entry = {fd, events, 0};
    const int ready = poll(&entry, 1, MsLeft(deadline));
    if (ready > 0) return true;
    if (ready == 0 && SsipClock::now() >= deadline) return false;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// "NNN-" or "NNN " and the code; -1 when the line is not SSIP.
int CodeOf(const std::string& line) {
  if (line.size() < 4 || (line[3] != '-' && line[3] != ' ')) return -1;
  for (int i = 0; i < 3; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) return -1;
  }
  return std::atoi(line.substr(0, 3).c_str());
}

// SSIP data: CR LF line ends, and a line that starts with a dot doubled so
// that it cannot end the text early.
std::string SpeakData(const std::string& text) {
  std::string data;
  data.reserve(text.size() + 8);
  bool lineStart = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || c == '\r') {
      data += "\r\n";
      lineStart = true;
      continue;
    }
    if (lineStart && c == '.') data += '.';
    data += c;
    lineStart = false;
  }
  return data + "\r\n.\r\n";
}

}  // namespace

std::unique_ptr<SsipChannel> SsipChannel::Open(const std::string& connectionName,
                                               SsipClock::time_point deadline, long limitMs,
                                               std::string* error) {
  const int fd = ConnectToSpeechd(deadline, limitMs, error);
  if (fd < 0) return nullptr;
  std::unique_ptr<SsipChannel> channel(new SsipChannel(fd));
  const char* user = std::getenv("USER");
  SsipReply reply;
  const Result named = channel->Command(std::string("SET SELF CLIENT_NAME \"") +
                                            (user && *user ? user : "unknown") + ":narro:" +
                                            connectionName + "\"",
                                        deadline, &reply);
  if (named != Result::kOk || reply.code / 100 != 2) {
    if (error) {
      *error = SsipClock::now() >= deadline
                   ? "no answer within " + std::to_string(limitMs) + " ms"
                   : "the server did not answer as speech-dispatcher does";
    }
    return nullptr;
  }
  return channel;
}

SsipChannel::~SsipChannel() { close(m_fd); }

bool SsipChannel::SendAll(const std::string& bytes, SsipClock::time_point deadline) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t done =
        send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (done > 0) {
      sent += static_cast<size_t>(done);
    } else if (done < 0 && errno == EINTR) {
      continue;
    } else if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(m_fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool SsipChannel::Fill(bool wait, SsipClock::time_point deadline) {
  // The deadline is for the whole reply: a server that trickles it line by
  // line is cut off as one that sends nothing.
  if (wait && (SsipClock::now() >= deadline || !WaitFor(m_fd, POLLIN, deadline))) return false;
  char chunk[16384];
  for (;;) {
    const ssize_t got = recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got > 0) {
      m_buffer.append(chunk, static_cast<size_t>(got));
      return true;
    }
    if (got == 0) return false;  // the server hung up
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

bool SsipChannel::TakeLines(size_t maxLines, bool* tooLong) {
  size_t start = 0;
  // Every whole line is taken, also after the reply: notifications sent
  // right behind it must not wait for the next byte from the server.
  for (size_t end; (end = m_buffer.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = m_buffer.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const int code = CodeOf(line);
    if (code < 0 || line.size() > kMaxLineBytes) return false;
    if (line[3] == '-') {
      if (m_pending.size() >= maxLines) {
        *tooLong = true;
        return false;
      }
      m_pending.push_back(line.substr(4));
      continue;
    }
    if (code / 100 == 7) {
      SsipNotice event;
      event.code = code;
      event.message = m_pending.empty() ? 0 : std::atoi(m_pending.front().c_str());
      m_events.push_back(event);
    } else if (m_replyReady) {
      return false;  // a second reply to one command is not SSIP
    } else {
      m_reply.code = code;
      m_reply.lines.swap(m_pending);
      m_replyReady = true;
    }
    m_pending.clear();
  }
  m_buffer.erase(0, start);
  // A line that never ends is as malformed as one too long.
  return m_buffer.size() <= kMaxLineBytes + 2;
}

SsipChannel::Result SsipChannel::Command(const std::string& line, SsipClock::time_point deadline,
                                         SsipReply* reply, size_t maxLines) {
  m_replyReady = false;
  m_reply = SsipReply();
  if (!SendAll(line + "\r\n", deadline)) return Result::kLost;
  // Notifications are short; a reply may be as long as the caller takes.
  const size_t lines = maxLines < 8 ? 8 : maxLines;
  Result result = Result::kOk;
  for (;;) {
    bool tooLong = false;
    if (!TakeLines(lines, &tooLong)) {
      result = tooLong ? Result::kTooLong : Result::kLost;
      break;
    }
    if (m_replyReady) break;
    if (!Fill(true, deadline)) {
      result = Result::kLost;
      break;
    }
  }
  if (result != Result::kOk) {
    // What came of the reply, for a caller that can use part of it.
    if (reply) reply->lines = std::move(m_pending);
    m_pending.clear();
    return result;
  }
  m_replyReady = false;
  if (reply) *reply = std::move(m_reply);
  return Result::kOk;
}

bool SsipChannel::Speak(const std::string& text, SsipClock::time_point deadline, int* message) {
  *message = 0;
  SsipReply reply;
  // Lower case, as libspeechd sends it: SSIP reads commands either way.
  if (Command("speak", deadline, &reply) != Result::kOk) return false;
  if (reply.code / 100 != 2) return true;  // refused
  std::string data = SpeakData(text);
  data.resize(data.size() - 2);  // Command adds the last CR LF
  if (Command(data, deadline, &reply) != Result::kOk) return false;
  if (reply.code / 100 == 2 && !reply.lines.empty()) {
    *message = std::atoi(reply.lines.front().c_str());
  }
  return true;
}

bool SsipChannel::ReadAvailable() {
  if (!Fill(false, SsipClock::now())) return false;
  bool tooLong = false;
  if (!TakeLines(8, &tooLong)) return false;
  // A reply nobody asked for is not SSIP either.
  return !m_replyReady;
}

std::deque<SsipNotice> SsipChannel::TakeEvents() {
  std::deque<SsipNotice> events;
  events.swap(m_events);
  return events;
}

}  // namespace platform
