// SPDX-License-Identifier: GPL-3.0-or-later
// The espeak-ng back end of a voice: the queue's worker synthesises each
// utterance (it is the only thread that does) and plays it on an audio end,
// the sound card or WAV files. It keeps little audio ahead of the ear, so
// that a purge is heard at once and an echoed word is not held up behind
// the one before.
#ifndef NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_BACK_END_H_
#define NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_BACK_END_H_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/sapi/SpeechEnd.h"
#include "platform/sapi/UtteranceQueue.h"
#include "platform/sapi/VoiceBackEnd.h"
#include "platform/sapi/espeak/AudioEnd.h"
#include "platform/sapi/espeak/LeadingSilence.h"

namespace platform {

class EspeakBackEnd : public VoiceBackEnd {
 public:
  // With a new audio end of the kind chosen, made on the calling thread;
  // null when there is none ("none").
  static std::unique_ptr<EspeakBackEnd> Make(const AudioEndChoice& choice);

  bool VoiceFor(ISpObjectToken* token, VoiceToken* voice) override;
  // Starts espeak-ng, lists its voices afresh and opens the audio end.
  // False when the voice data is missing or the audio end cannot be opened.
  bool Start(UtteranceQueue& queue) override;
  void Speak(const Utterance& utterance) override;
  void Idle() override;
  void Close() override;
  void Interrupt() override;
  // With "wav:DIR", the request's line in DIR/speech.log (SpeechLog.h).
  uint64_t LogRequest(const wchar_t* text, uint32_t flags,
                      const VoiceSettings& settings) override;

 private:
  using Clock = std::chrono::steady_clock;

  EspeakBackEnd(AudioEndChoice choice, std::unique_ptr<AudioEnd> audio);

  bool PlaySamples(const int16_t* samples, int count, uint64_t generation);
  void Write(const int16_t* samples, size_t count);
  // Waits until no more than margin of the written audio is left to play.
  // False when a purge or the end of the voice came first.
  bool WaitUntilPlayedOut(Clock::duration margin, uint64_t generation);

  const AudioEndChoice m_choice;
  const UtteranceQueue* m_queue = nullptr;

  // The worker's alone.
  std::unique_ptr<AudioEnd> m_audio;
  bool m_open = false;
  int m_sampleRate = 0;
  Clock::time_point m_playedUntil;  // when the audio written so far ends
  LeadingSilence m_leadingSilence;  // of the utterance being played

  // Rung by Interrupt: wakes the worker, idle or waiting for the ear.
  std::mutex m_bellLock;
  std::condition_variable m_bell;
  bool m_rung = false;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_BACK_END_H_
