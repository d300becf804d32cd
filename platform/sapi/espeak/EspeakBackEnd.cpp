// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/espeak/EspeakBackEnd.h"

#include <algorithm>
#include <utility>

#include "platform/sapi/SpeechLog.h"
#include "platform/sapi/espeak/Espeak.h"
#include "platform/sapi/espeak/EspeakVoiceList.h"

namespace platform {

namespace {

// The worker keeps at most this much audio ahead of the ear, so that a
// purge has little to throw away and a waiting Write never blocks long.
constexpr auto kAheadHigh = std::chrono::milliseconds(60);
constexpr auto kAheadLow = std::chrono::milliseconds(30);

}  // namespace

std::unique_ptr<EspeakBackEnd> EspeakBackEnd::Make(const AudioEndChoice& choice) {
  std::unique_ptr<AudioEnd> audio = MakeAudioEnd(choice);
  if (!audio) return nullptr;
  return std::unique_ptr<EspeakBackEnd>(new EspeakBackEnd(choice, std::move(audio)));
}

EspeakBackEnd::EspeakBackEnd(AudioEndChoice choice, std::unique_ptr<AudioEnd> audio)
    : m_choice(std::move(choice)), m_audio(std::move(audio)) {}

bool EspeakBackEnd::VoiceFor(ISpObjectToken* token, VoiceToken* voice) {
  if (token == nullptr) {
    *voice = DefaultVoiceToken();
    return true;
  }
  const VoiceToken* data = TokenData(token);
  if (data == nullptr) return false;
  *voice = *data;
  return true;
}

bool EspeakBackEnd::Start(UtteranceQueue& queue) {
  m_queue = &queue;
  if (!Espeak::Start()) return false;
  RefreshEspeakVoices();
  m_sampleRate = Espeak::SampleRate();
  m_leadingSilence = LeadingSilence(m_sampleRate);
  m_open = m_audio->Open(m_sampleRate);
  return m_open;
}

void EspeakBackEnd::Close() {
  if (m_open) m_audio->Flush();
  m_audio.reset();  // the device is closed on the thread that used it
}

void EspeakBackEnd::Interrupt() {
  {
    const std::lock_guard<std::mutex> guard(m_bellLock);
    m_rung = true;
  }
  m_bell.notify_all();
}

void EspeakBackEnd::Idle() {
  std::unique_lock<std::mutex> lock(m_bellLock);
  m_bell.wait(lock, [this] { return m_rung; });
  m_rung = false;
}

void EspeakBackEnd::Speak(const Utterance& utterance) {
  m_audio->BeginUtterance(utterance.logNumber);
  // Every utterance, an echoed word above all, starts with its first sound,
  // whatever the one before was: a purge ends that one half-way.
  m_leadingSilence.Reset();
  SynthesisRequest request;
  request.text = utterance.text.c_str();
  request.markup = utterance.markup;
  request.voiceIdentifier = utterance.settings.voice.engineVoice;
  request.wordsPerMinute = Espeak::WordsPerMinute(utterance.settings.rate);
  request.volume = utterance.settings.volume;
  const uint64_t generation = utterance.generation;
  Espeak::Synthesize(request, [&](const int16_t* samples, int count) {
    return PlaySamples(samples, count, generation);
  });
  const bool played = WaitUntilPlayedOut(Clock::duration::zero(), generation);
  if (!played) {
    m_audio->Flush();
    m_playedUntil = Clock::now();
  } else if (utterance.synchronous) {
    m_audio->Drain();  // the caller waits until it has been heard
  }
  m_audio->EndUtterance();
}

bool EspeakBackEnd::PlaySamples(const int16_t* samples, int count, uint64_t generation) {
  if (!m_queue->IsCurrent(generation)) return false;
  for (const LeadingSilence::Span& span :
       m_leadingSilence.Pass(samples, static_cast<size_t>(count))) {
    Write(span.samples, span.count);
  }
  if (m_playedUntil - Clock::now() <= kAheadHigh) return true;
  return WaitUntilPlayedOut(kAheadLow, generation);
}

void EspeakBackEnd::Write(const int16_t* samples, size_t count) {
  if (count == 0) return;
  m_audio->Write(samples, count);
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(count) / m_sampleRate));
  m_playedUntil = std::max(m_playedUntil, Clock::now()) + length;
}

bool EspeakBackEnd::WaitUntilPlayedOut(Clock::duration margin, uint64_t generation) {
  std::unique_lock<std::mutex> lock(m_bellLock);
  const Clock::time_point until = m_playedUntil - margin;
  // A purge and the end of the voice both move the generation on.
  m_bell.wait_until(lock, until, [&] { return !m_queue->IsCurrent(generation); });
  return m_queue->IsCurrent(generation);
}

uint64_t EspeakBackEnd::LogRequest(const wchar_t* text, uint32_t flags,
                                   const VoiceSettings& settings) {
  if (m_choice.kind != AudioEndChoice::kWavFiles) return 0;
  SpeakRequestRecord record;
  record.flags = flags;
  record.rate = settings.rate;
  record.volume = settings.volume;
  record.voiceTokenId = settings.voice.id;
  record.text = text ? text : L"";
  return AppendSpeechLog(m_choice.directory, record);
}

}  // namespace platform
