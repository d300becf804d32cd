// SPDX-License-Identifier: GPL-3.0-or-later
// The voice object over speech-dispatcher, so that Narro speaks with the
// voice, rate and synthesiser the player chose for the screen reader, in
// turn with it, instead of over it.
//
// SAPI's flags keep their meaning. The requests wait in a queue of the
// voice's own and go to the server one at a time, the next when the
// server reports the end or the cancellation of the one before: so
// asynchronous requests are spoken in order whatever priority each has, and
// a synchronous one returns on that report. A purge drops the queue and
// cancels this connection's speech only (CANCEL SELF), never another
// client's.
//
// A worker thread of the voice's own speaks SSIP with the server
// (SsipChannel.h), every reply read whole by a deadline: a server that
// hangs, dies or answers what is not SSIP costs silence and one log line,
// never the host. A lost connection is opened anew at the next request, one
// attempt at a time.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_VOICE_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_VOICE_H_

#include <chrono>
#include <memory>
#include <string>

#include "platform/sapi/AudioEnd.h"
#include "platform/sapi/RefCounted.h"
#include "platform/sapi/Sapi.h"

namespace platform {

class SpeechdSession;

class SpeechdVoice : public RefCounted<ISpVoice> {
 public:
  // Fails, with *why, when no connection opens within openLimit.
  static HRESULT Create(std::chrono::milliseconds openLimit, ISpVoice** voice,
                        std::string* why);

  HRESULT Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) override;
  HRESULT SetVoice(ISpObjectToken* token) override;
  HRESULT SetRate(long rate) override;
  HRESULT SetVolume(uint16_t volume) override;

 private:
  explicit SpeechdVoice(std::shared_ptr<SpeechdSession> session);
  ~SpeechdVoice() override;

  std::shared_ptr<SpeechdSession> m_session;
};

// The voice for NARRO_SPEECH=speechd (automatic false) or unset (true):
// a speech-dispatcher voice when a connection opens in time. Says in the
// log which end speaks. Automatic and failing: the caller goes on to the
// sound card.
HRESULT CreateSpeechdVoiceFor(bool automatic, ISpVoice** voice);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_VOICE_H_
