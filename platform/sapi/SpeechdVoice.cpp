// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdVoice.h"

#include <algorithm>

#include "platform/sapi/SpeechdConnection.h"
#include "platform/sapi/SpeechdSession.h"
#include "platform/sapi/SpeechdVoiceList.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

namespace {
constexpr long kSlowest = -10;
constexpr long kFastest = 10;
constexpr uint16_t kLoudest = 100;
}  // namespace

HRESULT SpeechdVoice::Create(std::chrono::milliseconds openLimit, ISpVoice** voice,
                             std::string* why) {
  if (voice == nullptr) return E_POINTER;
  *voice = nullptr;
  std::unique_ptr<SsipChannel> connection = OpenSpeechdChannel(
      "main", true, SsipClock::now() + openLimit, openLimit.count(), why);
  if (!connection) return E_FAIL;
  std::shared_ptr<SpeechdSession> session = SpeechdSession::Start(std::move(connection));
  if (!session) {
    if (why) *why = "no thread to speak on";
    return E_FAIL;
  }
  // The voices may have changed since they were last listed.
  ForgetSpeechdVoices();
  *voice = new SpeechdVoice(std::move(session));
  return S_OK;
}

SpeechdVoice::SpeechdVoice(std::shared_ptr<SpeechdSession> session)
    : m_session(std::move(session)) {}

SpeechdVoice::~SpeechdVoice() { m_session->Stop(); }

HRESULT SpeechdVoice::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  if ((flags & SPF_IS_XML) && (flags & SPF_IS_NOT_XML)) return E_INVALIDARG;
  if (flags & SPF_IS_FILENAME) return E_INVALIDARG;  // no file reading here
  m_session->Speak(text, flags, streamNumber);
  return S_OK;
}

HRESULT SpeechdVoice::SetVoice(ISpObjectToken* token) {
  SpeechdSession::Settings settings = m_session->CurrentSettings();
  if (token == nullptr) {
    settings.module.clear();
    settings.voice.clear();
  } else if (const VoiceToken* data = TokenData(token)) {
    if (data->module.empty()) return E_INVALIDARG;  // not one of the server's
    settings.module = data->module;
    settings.voice = data->engineVoice;
  } else {
    return E_INVALIDARG;
  }
  m_session->SetSettings(settings);
  return S_OK;
}

HRESULT SpeechdVoice::SetRate(long rate) {
  SpeechdSession::Settings settings = m_session->CurrentSettings();
  settings.rate = std::clamp(rate, kSlowest, kFastest);
  m_session->SetSettings(settings);
  return S_OK;
}

HRESULT SpeechdVoice::SetVolume(uint16_t volume) {
  SpeechdSession::Settings settings = m_session->CurrentSettings();
  settings.volume = std::min(volume, kLoudest);
  m_session->SetSettings(settings);
  return S_OK;
}

HRESULT CreateSpeechdVoiceFor(bool automatic, ISpVoice** voice) {
  const SpeechdLimits& limits = Current<SpeechdLimits>();
  std::string why;
  const HRESULT hr = SpeechdVoice::Create(
      automatic ? limits.automaticOpen : limits.explicitOpen, voice, &why);
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

}  // namespace platform
