// SPDX-License-Identifier: GPL-3.0-or-later
// The state behind a speech-dispatcher voice, shared by the voice and its
// one worker thread. The worker alone talks to the server; when idle it
// sleeps in poll() on the socket and on a wake-up descriptor, never on a
// timer. See SpeechdVoice.h.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SESSION_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SESSION_H_

#include <libspeechd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sapi/SsipChannel.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

class SpeechdSession : public std::enable_shared_from_this<SpeechdSession> {
 public:
  struct Settings {
    std::string module;  // empty with voice empty: the player's default
    std::string voice;
    long rate = 0;
    uint16_t volume = 100;
  };

  // Takes the connection (notifications on); starts the worker. Null when
  // no thread or wake-up descriptor can be had.
  static std::shared_ptr<SpeechdSession> Start(std::unique_ptr<SsipChannel> connection);
  ~SpeechdSession();

  // SAPI's Speak; a synchronous request waits here for its end.
  void Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber);
  void SetSettings(const Settings& settings);
  Settings CurrentSettings();
  // Stops the worker; the connection is closed by it.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;

  struct Utterance {
    uint64_t serial = 0;
    uint64_t generation = 0;
    std::string text;  // as SSIP carries it
    bool markup = false;
    SPDPriority priority = SPD_MESSAGE;
    Settings settings;
  };

  struct InFlight {
    uint64_t serial = 0;
    int message = 0;  // 0: nothing with the server
  };

  explicit SpeechdSession(std::unique_ptr<SsipChannel> connection, int wakeFd);

  void WorkerMain();
  // Worker only, without m_lock.
  int Send(const Utterance& utterance);
  bool Connect();
  bool Apply(const Settings& settings, bool markup);
  // False when the connection is lost; a refusal is an answer too.
  bool Set(const std::string& command);
  void Disconnect();
  void LoseConnection();
  // Sleeps until woken or the server sends something; false when the
  // connection turned out lost.
  bool WaitForWork();
  void TakeEvents();
  void Wake();
  SsipClock::time_point ReplyDeadline() const;

  // With m_lock held.
  void Finish(uint64_t serial);
  void FinishEverything();
  bool Ended(int message) const;
  bool HasWork() const;

  mutable std::mutex m_lock;
  std::condition_variable m_done;  // callers waiting for their utterance
  std::deque<Utterance> m_queue;
  Settings m_settings;
  uint64_t m_nextSerial = 1;
  uint64_t m_finishedThrough = 0;
  uint64_t m_generation = 0;
  bool m_cancelPending = false;
  bool m_stopping = false;
  bool m_workerDone = false;
  InFlight m_inFlight;
  std::map<int, int> m_events;  // the last event code, by message id
  const int m_wakeFd;           // an eventfd: written by callers, polled by the worker

  // The worker's alone.
  std::unique_ptr<SsipChannel> m_connection;
  Settings m_applied;
  bool m_appliedMarkup = false;
  bool m_lossLogged = false;

  std::thread m_worker;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SESSION_H_
