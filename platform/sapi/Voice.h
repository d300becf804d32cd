// SPDX-License-Identifier: GPL-3.0-or-later
// The voice object: a queue of utterances played by a worker thread of the
// voice's own, which is also the only thread that synthesises.
#ifndef NARRO_PLATFORM_SAPI_VOICE_H_
#define NARRO_PLATFORM_SAPI_VOICE_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sapi/AudioEnd.h"
#include "platform/sapi/LeadingSilence.h"
#include "platform/sapi/RefCounted.h"
#include "platform/sapi/Sapi.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

class Voice : public RefCounted<ISpVoice> {
 public:
  // Fails when NARRO_SPEECH is "none", the voice data is missing or the
  // audio end cannot be opened.
  static HRESULT Create(ISpVoice** voice);

  HRESULT Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) override;
  HRESULT SetVoice(ISpObjectToken* token) override;
  HRESULT SetRate(long rate) override;
  HRESULT SetVolume(uint16_t volume) override;

 private:
  using Clock = std::chrono::steady_clock;

  struct Settings {
    VoiceToken voice;
    long rate = 0;
    uint16_t volume = 100;
  };

  struct Utterance {
    uint64_t serial = 0;
    uint64_t generation = 0;
    uint64_t logNumber = 0;
    std::wstring text;
    bool markup = false;
    bool synchronous = false;
    Settings settings;
  };

  explicit Voice(AudioEndChoice choice);
  ~Voice() override;

  bool StartWorker();
  void WorkerMain();
  void Play(const Utterance& utterance);
  bool PlaySamples(const int16_t* samples, int count, uint64_t generation);
  void Write(const int16_t* samples, size_t count);
  bool WaitUntilPlayedOut(Clock::duration margin, uint64_t generation);
  void Finish(uint64_t serial);
  void PurgeLocked();
  uint64_t LogRequest(const wchar_t* text, uint32_t flags);

  const AudioEndChoice m_choice;
  std::unique_ptr<AudioEnd> m_audio;  // the worker's alone once started
  int m_sampleRate = 0;
  Clock::time_point m_playedUntil;    // when the audio written so far ends
  LeadingSilence m_leadingSilence;    // of the utterance being played

  std::mutex m_lock;
  std::condition_variable m_wake;  // the worker: work, purge or stop
  std::condition_variable m_done;  // callers waiting for their utterance
  std::deque<Utterance> m_queue;
  Settings m_settings;
  uint64_t m_nextSerial = 1;
  uint64_t m_finishedThrough = 0;
  bool m_stopping = false;
  enum class Start { kPending, kRunning, kFailed } m_start = Start::kPending;
  std::atomic<uint64_t> m_generation{0};  // moves on at every purge
  std::thread m_worker;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_VOICE_H_
