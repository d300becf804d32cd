// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/Voice.h"

#include <algorithm>

#include "platform/sapi/Espeak.h"
#include "platform/sapi/SpeechLog.h"
#include "platform/sapi/SpeechdVoice.h"

namespace platform {

namespace {

// The worker keeps at most this much audio ahead of the ear, so that a
// purge has little to throw away and a waiting Write never blocks long.
constexpr auto kAheadHigh = std::chrono::milliseconds(60);
constexpr auto kAheadLow = std::chrono::milliseconds(30);

constexpr long kSlowest = -10;
constexpr long kFastest = 10;
constexpr uint16_t kLoudest = 100;

bool LooksLikeMarkup(const wchar_t* text, uint32_t flags) {
  if (flags & SPF_IS_XML) return true;
  if (flags & SPF_IS_NOT_XML) return false;
  return text[0] == L'<';
}

}  // namespace

HRESULT Voice::Create(ISpVoice** voice) {
  if (voice == nullptr) return E_POINTER;
  *voice = nullptr;
  AudioEndChoice choice = ChooseAudioEnd();
  if (choice.kind == AudioEndChoice::kNone) return REGDB_E_CLASSNOTREG;
  if (choice.kind == AudioEndChoice::kSpeechd || choice.kind == AudioEndChoice::kAutomatic) {
    const bool automatic = choice.kind == AudioEndChoice::kAutomatic;
    HRESULT hr = E_FAIL;
    try {
      hr = CreateSpeechdVoiceFor(automatic, voice);
    } catch (...) {
      hr = E_FAIL;
    }
    if (SUCCEEDED(hr) || !automatic) return hr;
    choice.kind = AudioEndChoice::kSoundCard;
  }
  // A COM factory reports failure by its result: a thread that cannot be
  // started or memory that cannot be had must not throw into the host.
  Voice* made = nullptr;
  try {
    made = new Voice(choice);
    if (!made->StartWorker()) {
      made->Release();
      return E_FAIL;
    }
  } catch (...) {
    if (made != nullptr) made->Release();
    return E_FAIL;
  }
  *voice = made;
  return S_OK;
}

Voice::Voice(AudioEndChoice choice) : m_choice(std::move(choice)) {}

Voice::~Voice() {
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_stopping = true;
    PurgeLocked();
  }
  m_wake.notify_all();
  if (m_worker.joinable()) m_worker.join();
}

bool Voice::StartWorker() {
  m_audio = MakeAudioEnd(m_choice);
  if (!m_audio) return false;
  m_worker = std::thread(&Voice::WorkerMain, this);
  std::unique_lock<std::mutex> lock(m_lock);
  m_done.wait(lock, [this] { return m_start != Start::kPending; });
  return m_start == Start::kRunning;
}

void Voice::WorkerMain() {
  bool ready = Espeak::Start();
  if (ready) {
    RefreshInstalledVoices();
    m_sampleRate = Espeak::SampleRate();
    m_leadingSilence = LeadingSilence(m_sampleRate);
    ready = m_audio->Open(m_sampleRate);
  }
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_settings.voice = DefaultVoiceToken();
    m_start = ready ? Start::kRunning : Start::kFailed;
  }
  m_done.notify_all();
  if (!ready) {
    m_audio.reset();
    return;
  }
  for (;;) {
    Utterance utterance;
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
      if (m_stopping) break;
      utterance = std::move(m_queue.front());
      m_queue.pop_front();
    }
    if (utterance.generation == m_generation) Play(utterance);
    Finish(utterance.serial);
  }
  m_audio->Flush();
  m_audio.reset();  // the device is closed on the thread that used it
}

void Voice::Play(const Utterance& utterance) {
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

bool Voice::PlaySamples(const int16_t* samples, int count, uint64_t generation) {
  if (generation != m_generation) return false;
  for (const LeadingSilence::Span& span :
       m_leadingSilence.Pass(samples, static_cast<size_t>(count))) {
    Write(span.samples, span.count);
  }
  if (m_playedUntil - Clock::now() <= kAheadHigh) return true;
  return WaitUntilPlayedOut(kAheadLow, generation);
}

void Voice::Write(const int16_t* samples, size_t count) {
  if (count == 0) return;
  m_audio->Write(samples, count);
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(count) / m_sampleRate));
  m_playedUntil = std::max(m_playedUntil, Clock::now()) + length;
}

// Waits until no more than margin of the written audio is left to play.
// False when a purge or the end of the voice came first.
bool Voice::WaitUntilPlayedOut(Clock::duration margin, uint64_t generation) {
  std::unique_lock<std::mutex> lock(m_lock);
  const Clock::time_point until = m_playedUntil - margin;
  m_wake.wait_until(lock, until, [&] {
    return m_stopping || generation != m_generation;
  });
  return !m_stopping && generation == m_generation;
}

void Voice::Finish(uint64_t serial) {
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_finishedThrough = std::max(m_finishedThrough, serial);
  }
  m_done.notify_all();
}

void Voice::PurgeLocked() {
  ++m_generation;
  m_queue.clear();
  m_finishedThrough = m_nextSerial - 1;
  m_done.notify_all();
}

uint64_t Voice::LogRequest(const wchar_t* text, uint32_t flags) {
  if (m_choice.kind != AudioEndChoice::kWavFiles) return 0;
  SpeakRequestRecord record;
  record.flags = flags;
  record.rate = m_settings.rate;
  record.volume = m_settings.volume;
  record.voiceTokenId = m_settings.voice.id;
  record.text = text ? text : L"";
  return AppendSpeechLog(m_choice.directory, record);
}

HRESULT Voice::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  std::unique_lock<std::mutex> lock(m_lock);
  const uint64_t logNumber = LogRequest(text, flags);
  if ((flags & SPF_IS_XML) && (flags & SPF_IS_NOT_XML)) return E_INVALIDARG;
  if (flags & SPF_IS_FILENAME) return E_INVALIDARG;  // no file reading here
  if (flags & SPF_PURGEBEFORESPEAK) PurgeLocked();
  if (text == nullptr || *text == L'\0') {
    lock.unlock();
    m_wake.notify_all();
    if (streamNumber) *streamNumber = 0;
    return S_OK;
  }
  Utterance utterance;
  utterance.serial = m_nextSerial++;
  utterance.generation = m_generation;
  utterance.logNumber = logNumber;
  utterance.text = text;
  utterance.markup = LooksLikeMarkup(text, flags);
  utterance.synchronous = !(flags & SPF_ASYNC);
  utterance.settings = m_settings;
  const uint64_t serial = utterance.serial;
  m_queue.push_back(std::move(utterance));
  m_wake.notify_all();
  if (streamNumber) *streamNumber = static_cast<ULONG>(serial);
  if (!(flags & SPF_ASYNC)) {
    m_done.wait(lock, [&] { return m_finishedThrough >= serial; });
  }
  return S_OK;
}

HRESULT Voice::SetVoice(ISpObjectToken* token) {
  VoiceToken voice;
  if (token == nullptr) {
    voice = DefaultVoiceToken();
  } else if (const VoiceToken* data = TokenData(token)) {
    voice = *data;
  } else {
    return E_INVALIDARG;
  }
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.voice = std::move(voice);
  return S_OK;
}

HRESULT Voice::SetRate(long rate) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.rate = std::clamp(rate, kSlowest, kFastest);
  return S_OK;
}

HRESULT Voice::SetVolume(uint16_t volume) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.volume = std::min(volume, kLoudest);
  return S_OK;
}

HRESULT CreateSpVoice(ISpVoice** voice) { return Voice::Create(voice); }

}  // namespace platform
