// SPDX-License-Identifier: GPL-3.0-or-later
// The speech-dispatcher back end of a voice, so that Narro speaks with the
// voice, rate and synthesiser the player chose for the screen reader, in
// turn with it, instead of over it.
//
// SAPI's flags keep their meaning. The requests wait in the voice's queue
// (UtteranceQueue.h) and go to the server one at a time, the next when the
// server reports the end or the cancellation of the one before: so
// asynchronous requests are spoken in order whatever priority each has, and
// a synchronous one returns on that report. A purge drops the queue and
// cancels this connection's speech only (CANCEL SELF), never another
// client's.
//
// The queue's worker alone speaks SSIP with the server (SsipChannel.h),
// every reply read whole by a deadline: a server that hangs, dies or
// answers what is not SSIP costs silence and one log line, never the host.
// When idle, and while the server speaks, it sleeps in poll() on the socket
// and on a wake-up descriptor, never on a timer. A lost connection drops
// what waits, and is opened anew at the next request, one attempt at a time.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_SESSION_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_SESSION_H_

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/sapi/UtteranceQueue.h"
#include "platform/sapi/VoiceBackEnd.h"
#include "platform/sapi/speechd/SsipChannel.h"

namespace platform {

class SpeechdSession : public VoiceBackEnd {
 public:
  // Opens the connection (notifications on). Null, with *why, when no
  // connection opens within openLimit or no wake-up descriptor can be had.
  static std::unique_ptr<SpeechdSession> Open(std::chrono::milliseconds openLimit,
                                              std::string* why);
  ~SpeechdSession() override;

  // Null: the player's default; else one of the server's voices.
  bool VoiceFor(ISpObjectToken* token, VoiceToken* voice) override;
  bool Start(UtteranceQueue& queue) override;
  void Speak(const Utterance& utterance) override;
  void Idle() override;
  void Close() override;
  void Interrupt() override;

 private:
  // What the server was last told on this connection.
  struct Applied {
    std::string module;  // empty with voice empty: the player's default
    std::string voice;
    long rate = 0;
    uint16_t volume = 100;
  };

  SpeechdSession(std::unique_ptr<SsipChannel> connection, int wakeFd);

  // The message id; 0 when the server refused it, -1 when the connection
  // was lost on the way.
  int Send(const Utterance& utterance);
  bool Connect();
  bool Apply(const VoiceSettings& settings, bool markup);
  // False when the connection is lost; a refusal is an answer too.
  bool Set(const std::string& command);
  void Disconnect();
  void LoseConnection();
  // Sleeps until woken, the server sends something or `deadline` (none:
  // for ever) comes; false when the connection turned out lost.
  bool WaitForWork(std::optional<SsipClock::time_point> deadline = std::nullopt);
  // How long the server may take to say that `utterance` ended.
  SsipClock::time_point EndDeadline(const Utterance& utterance) const;
  void TakeEvents();
  bool Ended(int message) const;
  void ForgetEventsThrough(int message);
  SsipClock::time_point ReplyDeadline() const;

  const int m_wakeFd;  // an eventfd: written by Interrupt, polled by the worker

  // The worker's alone.
  UtteranceQueue* m_queue = nullptr;
  std::unique_ptr<SsipChannel> m_connection;
  std::map<int, int> m_events;  // the last event code, by message id
  int m_lastMessage = 0;         // the newest message id the server gave us
  Applied m_applied;
  bool m_appliedMarkup = false;
  bool m_lossLogged = false;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_SESSION_H_
