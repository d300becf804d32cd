// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speechd/SsipWatch.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

sockaddr_un Address(const std::string& path) {
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  return address;
}

struct Pair {
  int client = -1;
  int server = -1;
  int number = 0;
  std::string fromClient;
  std::string fromServer;
};

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

}  // namespace

SsipWatch::SsipWatch(const std::string& listenPath, const std::string& serverPath)
    : m_listenPath(listenPath), m_serverPath(serverPath) {
  unlink(listenPath.c_str());
  m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  const sockaddr_un address = Address(listenPath);
  bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(m_listener, 16);
  if (pipe(m_stopPipe) != 0) std::abort();
  m_thread = std::thread(&SsipWatch::Run, this);
}

SsipWatch::~SsipWatch() {
  const char stop = 's';
  if (write(m_stopPipe[1], &stop, 1) != 1) std::abort();
  m_thread.join();
  close(m_listener);
  close(m_stopPipe[0]);
  close(m_stopPipe[1]);
  unlink(m_listenPath.c_str());
}

void SsipWatch::Record(int connection, bool fromClient, std::string& pending,
                       const char* data, size_t size) {
  pending.append(data, size);
  const auto now = std::chrono::steady_clock::now();
  size_t end = 0;
  const std::lock_guard<std::mutex> guard(m_lock);
  while ((end = pending.find("\r\n")) != std::string::npos) {
    m_lines.push_back(SsipLine{now, connection, fromClient, pending.substr(0, end)});
    pending.erase(0, end + 2);
  }
}

void SsipWatch::Run() {
  std::vector<Pair> pairs;
  int connections = 0;
  for (;;) {
    std::vector<pollfd> watched = {{m_stopPipe[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
    for (const Pair& pair : pairs) {
      watched.push_back({pair.client, POLLIN, 0});
      watched.push_back({pair.server, static_cast<short>(m_frozen ? 0 : POLLIN), 0});
    }
    if (poll(watched.data(), watched.size(), 20) < 0) continue;
    if (watched[0].revents) break;
    std::vector<Pair> open;
    for (size_t i = 0; i < pairs.size(); ++i) {
      Pair& pair = pairs[i];
      bool closed = false;
      char buffer[65536];
      const pollfd& client = watched[2 + 2 * i];
      const pollfd& server = watched[3 + 2 * i];
      if (client.revents & (POLLIN | POLLHUP | POLLERR)) {
        const ssize_t got = read(pair.client, buffer, sizeof buffer);
        if (got <= 0) {
          closed = true;
        } else {
          Record(pair.number, true, pair.fromClient, buffer, static_cast<size_t>(got));
          closed = !SendAll(pair.server, buffer, static_cast<size_t>(got));
        }
      }
      if (!closed && (server.revents & (POLLIN | POLLHUP | POLLERR))) {
        const ssize_t got = read(pair.server, buffer, sizeof buffer);
        if (got <= 0) {
          closed = true;
        } else {
          Record(pair.number, false, pair.fromServer, buffer, static_cast<size_t>(got));
          closed = !SendAll(pair.client, buffer, static_cast<size_t>(got));
        }
      }
      if (closed) {
        close(pair.client);
        close(pair.server);
      } else {
        open.push_back(pair);
      }
    }
    pairs.swap(open);
    // Only now: watched has no entries for a pair taken in this round.
    if (watched[1].revents & POLLIN) {
      Pair pair;
      pair.client = accept(m_listener, nullptr, nullptr);
      pair.server = ::socket(AF_UNIX, SOCK_STREAM, 0);
      const sockaddr_un address = Address(m_serverPath);
      if (pair.client >= 0 &&
          connect(pair.server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        pair.number = ++connections;
        pairs.push_back(pair);
      } else {
        if (pair.client >= 0) close(pair.client);
        close(pair.server);
      }
    }
  }
  for (const Pair& pair : pairs) {
    close(pair.client);
    close(pair.server);
  }
}

std::vector<SsipLine> SsipWatch::Lines() const {
  const std::lock_guard<std::mutex> guard(m_lock);
  return m_lines;
}

std::vector<std::string> SsipWatch::ClientLines(int connection) const {
  std::vector<std::string> lines;
  for (const SsipLine& line : Lines()) {
    if (line.fromClient && (connection == 0 || line.connection == connection)) {
      lines.push_back(line.text);
    }
  }
  return lines;
}

std::vector<SsipEvent> SsipWatch::Events() const {
  std::vector<SsipEvent> events;
  std::vector<SsipLine> lines = Lines();
  // "70x-message", "70x-client", "70x TEXT": the first line names the message.
  std::vector<std::string> previous(64);
  for (const SsipLine& line : lines) {
    if (line.fromClient || line.text.size() < 5) continue;
    const std::string& text = line.text;
    const bool event = text[0] == '7' && text[1] == '0' && text[3] == '-';
    std::string& before = previous[static_cast<size_t>(line.connection) % previous.size()];
    if (event && before.compare(0, 3, text, 0, 3) != 0) {
      events.push_back(SsipEvent{line.time, line.connection, std::atoi(text.substr(0, 3).c_str()),
                                 std::atoi(text.c_str() + 4)});
    }
    before = event ? text : std::string();
  }
  return events;
}

std::vector<int> SsipWatch::MessageIds(int connection) const {
  std::vector<int> ids;
  for (const SsipLine& line : Lines()) {
    if (!line.fromClient && line.connection == connection &&
        line.text.compare(0, 4, "225-") == 0) {
      ids.push_back(std::atoi(line.text.c_str() + 4));
    }
  }
  return ids;
}

bool SsipWatch::WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout) const {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < until) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return condition();
}
