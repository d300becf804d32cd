// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/Voice.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/sapi/SpeechEnd.h"
#include "platform/sapi/espeak/EspeakBackEnd.h"
#include "platform/sapi/speechd/SpeechdConnection.h"
#include "platform/sapi/speechd/SpeechdSession.h"
#include "platform/sapi/speechd/SpeechdVoiceList.h"

namespace platform {

namespace {
constexpr long kSlowest = -10;
constexpr long kFastest = 10;
constexpr uint16_t kLoudest = 100;
}  // namespace

Voice::Voice(std::unique_ptr<VoiceBackEnd> end) : m_end(std::move(end)), m_queue(*m_end) {}

Voice::~Voice() { m_queue.Stop(); }

Voice* Voice::Started(std::unique_ptr<VoiceBackEnd> end) {
  // A COM factory reports failure by its result: a thread that cannot be
  // started or memory that cannot be had must not throw into the host.
  Voice* made = nullptr;
  try {
    made = new Voice(std::move(end));
    VoiceToken voice;
    if (!made->m_queue.Start() || !made->m_end->VoiceFor(nullptr, &voice)) {
      made->Release();
      return nullptr;
    }
    made->m_queue.SetVoice(voice);
  } catch (...) {
    if (made != nullptr) made->Release();
    return nullptr;
  }
  return made;
}

HRESULT Voice::Create(ISpVoice** voice) {
  if (voice == nullptr) return E_POINTER;
  *voice = nullptr;
  AudioEndChoice choice = ChooseAudioEnd();
  if (choice.kind == AudioEndChoice::kNone) return REGDB_E_CLASSNOTREG;
  if (choice.kind == AudioEndChoice::kSpeechd || choice.kind == AudioEndChoice::kAutomatic) {
    const bool automatic = choice.kind == AudioEndChoice::kAutomatic;
    HRESULT hr = E_FAIL;
    try {
      hr = CreateOverSpeechd(automatic, voice);
    } catch (...) {
      hr = E_FAIL;
    }
    if (SUCCEEDED(hr) || !automatic) return hr;
    choice.kind = AudioEndChoice::kSoundCard;
  }
  std::unique_ptr<EspeakBackEnd> end;
  try {
    end = EspeakBackEnd::Make(choice);
  } catch (...) {
    return E_FAIL;
  }
  if (!end) return E_FAIL;
  Voice* made = Started(std::move(end));
  if (made == nullptr) return E_FAIL;
  *voice = made;
  return S_OK;
}

HRESULT Voice::CreateOverSpeechd(bool automatic, ISpVoice** voice) {
  const SpeechdLimits& limits = Current<SpeechdLimits>();
  std::string why;
  HRESULT hr = E_FAIL;
  if (std::unique_ptr<SpeechdSession> session =
          SpeechdSession::Open(automatic ? limits.automaticOpen : limits.explicitOpen, &why)) {
    if (Voice* made = Started(std::move(session))) {
      // The voices may have changed since they were last listed.
      ForgetSpeechdVoices();
      *voice = made;
      hr = S_OK;
    } else {
      why = "no thread to speak on";
    }
  }
  if (automatic) NoteAutomaticEnd(SUCCEEDED(hr));
  // A server's reasons may run over several lines; the log has one per event.
  for (char& c : why) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!why.empty() && why.back() == ' ') why.pop_back();
  if (SUCCEEDED(hr)) {
    LogSpeechLine("Speech: speech-dispatcher");
  } else if (automatic) {
    LogSpeechLine("Speech: the sound card (speech-dispatcher: " + why + ")");
  } else {
    LogSpeechLine("Speech: speech-dispatcher cannot be reached (" + why + ")");
  }
  return hr;
}

HRESULT Voice::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  return m_queue.Speak(text, flags, streamNumber);
}

HRESULT Voice::SetVoice(ISpObjectToken* token) {
  VoiceToken voice;
  if (!m_end->VoiceFor(token, &voice)) return E_INVALIDARG;
  m_queue.SetVoice(voice);
  return S_OK;
}

HRESULT Voice::SetRate(long rate) {
  m_queue.SetRate(std::clamp(rate, kSlowest, kFastest));
  return S_OK;
}

HRESULT Voice::SetVolume(uint16_t volume) {
  m_queue.SetVolume(std::min(volume, kLoudest));
  return S_OK;
}

HRESULT CreateSpVoice(ISpVoice** voice) { return Voice::Create(voice); }

}  // namespace platform
