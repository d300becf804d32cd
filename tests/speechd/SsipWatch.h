// SPDX-License-Identifier: GPL-3.0-or-later
// Watches the SSIP traffic between the clients of a test and its
// speech-dispatcher: it listens on a socket of its own, passes every byte
// on both ways, and keeps each line with the time it passed. Freeze() stops
// passing the server's answers on, which makes a server that never answers.
#ifndef NARRO_TESTS_SPEECHD_SSIP_WATCH_H_
#define NARRO_TESTS_SPEECHD_SSIP_WATCH_H_

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SsipLine {
  std::chrono::steady_clock::time_point time;
  int connection = 0;      // from 1, in the order the clients came
  bool fromClient = true;  // else from the server
  std::string text;        // without CR LF
};

// A notification the server sent: 701 begin, 702 end, 703 cancel.
struct SsipEvent {
  std::chrono::steady_clock::time_point time;
  int connection = 0;
  int code = 0;
  int message = 0;
};

class SsipWatch {
 public:
  SsipWatch(const std::string& listenPath, const std::string& serverPath);
  ~SsipWatch();
  SsipWatch(const SsipWatch&) = delete;
  SsipWatch& operator=(const SsipWatch&) = delete;

  const std::string& socket() const { return m_listenPath; }
  void Freeze() { m_frozen = true; }

  std::vector<SsipLine> Lines() const;
  // The client lines of every connection, commands and spoken text alike.
  std::vector<std::string> ClientLines(int connection = 0) const;
  std::vector<SsipEvent> Events() const;
  // Message ids the server gave the SPEAKs of a connection, in order.
  std::vector<int> MessageIds(int connection) const;
  // Waits up to timeout for condition, looked at after every line.
  bool WaitFor(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

 private:
  void Run();
  void Record(int connection, bool fromClient, std::string& pending,
              const char* data, size_t size);

  std::string m_listenPath;
  std::string m_serverPath;
  int m_listener = -1;
  int m_stopPipe[2] = {-1, -1};
  std::atomic<bool> m_frozen{false};
  mutable std::mutex m_lock;
  std::vector<SsipLine> m_lines;
  std::thread m_thread;
};

#endif  // NARRO_TESTS_SPEECHD_SSIP_WATCH_H_
