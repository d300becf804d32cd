// SPDX-License-Identifier: GPL-3.0-or-later
// The state behind a speech-dispatcher voice, shared by the voice, its
// worker thread, its watchdog and libspeechd's reading thread, so that
// whichever lets go last frees it. See SpeechdVoice.h.
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

#include "platform/sapi/SpeechdEvents.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

class SpeechdSession : public SpeechdListener,
                       public std::enable_shared_from_this<SpeechdSession> {
 public:
  struct Settings {
    std::string module;  // empty with voice empty: the player's default
    std::string voice;
    long rate = 0;
    uint16_t volume = 100;
  };

  // Takes the connection; starts the worker and the watchdog.
  static std::shared_ptr<SpeechdSession> Start(SPDConnection* connection);

  // SAPI's Speak; a synchronous request waits here for its end.
  void Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber);
  void SetSettings(const Settings& settings);
  Settings CurrentSettings();
  // Stops the threads; the connection is closed by the worker.
  void Stop();

  void OnSpeechdEvent(int message, SPDNotificationType type) override;

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

  explicit SpeechdSession(SPDConnection* connection);

  void WorkerMain();
  void WatchdogMain();
  // Worker only, without m_lock.
  int Send(const Utterance& utterance);
  bool Adopt(SPDConnection* connection);
  bool Connect();
  bool Apply(const Settings& settings, bool markup);
  void Disconnect();
  void LoseConnection();
  bool ConnectionClosedByServer() const;
  template <class Call>
  auto Watched(Call call);

  // With m_lock held.
  void Finish(uint64_t serial);
  void FinishEverything();
  bool Ended(int message) const;

  mutable std::mutex m_lock;
  std::condition_variable m_wake;  // the worker
  std::condition_variable m_done;  // callers waiting for their utterance
  std::deque<Utterance> m_queue;
  Settings m_settings;
  uint64_t m_nextSerial = 1;
  uint64_t m_finishedThrough = 0;
  uint64_t m_generation = 0;
  bool m_cancelPending = false;
  bool m_stopping = false;
  bool m_wedged = false;  // the worker is stuck inside libspeechd for good
  bool m_workerDone = false;
  bool m_watchdogStop = false;
  InFlight m_inFlight;
  std::map<int, SPDNotificationType> m_events;  // by message id
  Clock::time_point m_callStarted{};  // of the libspeechd call under way
  int m_watchedSocket = -1;           // a duplicate, for shutdown and poll

  // The worker's alone.
  SPDConnection* m_connection = nullptr;
  int m_clientId = 0;
  Settings m_applied;
  bool m_appliedMarkup = false;
  bool m_lossLogged = false;

  std::thread m_worker;
  std::thread m_watchdog;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SESSION_H_
