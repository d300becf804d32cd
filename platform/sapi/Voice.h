// SPDX-License-Identifier: GPL-3.0-or-later
// The voice object: SAPI's ISpVoice over one utterance queue
// (UtteranceQueue.h) and the back end NARRO_SPEECH chose, whichever that is
// (BackEndFactory.h).
#ifndef NARRO_PLATFORM_SAPI_VOICE_H_
#define NARRO_PLATFORM_SAPI_VOICE_H_

#include <cstdint>
#include <memory>

#include "platform/sapi/RefCounted.h"
#include "platform/sapi/Sapi.h"
#include "platform/sapi/UtteranceQueue.h"
#include "platform/sapi/VoiceBackEnd.h"

namespace platform {

class Voice : public RefCounted<ISpVoice> {
 public:
  // Fails when NARRO_SPEECH is "none", the voice data is missing or the
  // audio end cannot be opened; with NARRO_SPEECH=speechd, when no
  // connection to speech-dispatcher opens in time.
  static HRESULT Create(ISpVoice** voice);

  HRESULT Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) override;
  HRESULT SetVoice(ISpObjectToken* token) override;
  HRESULT SetRate(long rate) override;
  HRESULT SetVolume(uint16_t volume) override;

 private:
  explicit Voice(std::unique_ptr<VoiceBackEnd> end);
  ~Voice() override;

  // A voice over the back end, its worker started and its default voice
  // set; null when the back end cannot start. Never throws.
  static Voice* Started(std::unique_ptr<VoiceBackEnd> end);

  const std::unique_ptr<VoiceBackEnd> m_end;
  UtteranceQueue m_queue;  // over m_end, so stopped before it goes
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_VOICE_H_
