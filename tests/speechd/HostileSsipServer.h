// SPDX-License-Identifier: GPL-3.0-or-later
// A speech server of the tests' own on a Unix socket, answering SSIP the
// way a broken or hostile one would: garbage for every line, a voice list
// that trickles or never ends, or nothing at all once frozen. Otherwise it
// answers as speech-dispatcher does, with begin and end notifications for
// every message (but for a server slow to queue, whose messages end only
// when cancelled).
#ifndef NARRO_TESTS_SPEECHD_HOSTILE_SSIP_SERVER_H_
#define NARRO_TESTS_SPEECHD_HOSTILE_SSIP_SERVER_H_

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class HostileSsipServer {
 public:
  enum class Mode {
    kWellBehaved,
    kGarbage,        // every line answered "hello there\r\nxyz\r\n\r\n99\r\n"
    kTrickleVoices,  // LIST SYNTHESIS_VOICES: one line every 0.5 s, no end
    kMillionVoices,  // LIST SYNTHESIS_VOICES: 1,000,000 voices
    kSlowToQueue,    // SPEAK: the reply after kQueueDelay, then speaking until cancelled
  };
  static constexpr std::chrono::milliseconds kQueueDelay{200};

  HostileSsipServer(const std::string& path, Mode mode);
  // Closes every connection, so that a client still reading sees the end.
  ~HostileSsipServer();
  HostileSsipServer(const HostileSsipServer&) = delete;
  HostileSsipServer& operator=(const HostileSsipServer&) = delete;

  // From now on nothing is read, answered or accepted (the kernel still
  // takes connections), as from a server stopped with SIGSTOP.
  void Freeze() { m_frozen = true; }
  // How many CANCEL commands came, on any connection.
  int Cancels() const { return m_cancels; }

 private:
  void Run();

  std::string m_path;
  Mode m_mode;
  int m_listener = -1;
  int m_stopPipe[2] = {-1, -1};
  std::atomic<bool> m_frozen{false};
  std::atomic<int> m_cancels{0};
  std::thread m_thread;
};

#endif  // NARRO_TESTS_SPEECHD_HOSTILE_SSIP_SERVER_H_
