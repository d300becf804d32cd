// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechTTS.h"

#include "core/Log.h"
#include "core/MyException.h"
#include "core/SingletonStorage.h"
#include "platform/locale/TextEncoding.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/MessageBox.h"

template class MySingleton<CSpeechTTS>;

using namespace platform;

ISpVoice* CSpeechTTS::ms_pVoice = nullptr;

namespace {

// The source position the engine's speaking failures have always reported.
constexpr int kSpeakFailureLine = 220;

// The token of an installed voice, or null. No id is the default voice,
// found without listing any.
ISpObjectToken* LookUpVoiceToken(const std::wstring& id) {
  if (id.empty()) return nullptr;
  ISpObjectToken* token = nullptr;
  if (FAILED(CreateSpObjectToken(&token))) return nullptr;
  if (FAILED(token->SetId(nullptr, id.c_str(), false))) {
    token->Release();
    return nullptr;
  }
  return token;
}

}  // namespace

CSpeechTTS::CSpeechTTS() { ms_pVoice = nullptr; }

CSpeechTTS::~CSpeechTTS() {
  try {
    ReleaseSAPI();
  } catch (...) {
    LogLine("Exception releasing voice interface %1%", SystemErrorText());
    ms_pVoice = nullptr;
  }
}

void CSpeechTTS::InitSAPI() {
  LogLine("%1%", "Init SAPI...");
  CoInitialize(nullptr);
  if (FAILED(CreateSpVoice(&ms_pVoice))) {
    ms_pVoice = nullptr;
    MessageBox(nullptr, "Text to speech failed to initialize", "getDefaultVoice",
               MB_OK);
    return;
  }
  m_initialized = true;
}

const std::vector<VoiceEntry>& CSpeechTTS::Voices() {
  if (m_initialized && !m_voicesListed) {
    EnumerateVoices(m_voices, SPCAT_VOICES);
    m_voicesListed = true;
  }
  return m_voices;
}

int CSpeechTTS::SpeakToMe(const std::wstring& text, int flags) {
  if (!m_initialized) return 0;
  try {
    SpeakWithCurrentVoice(text, flags);
  } catch (...) {
    throw CMyException(0, "Exception trying to speak.", "CSpeechTTS::SpeakToMe",
                       "SpeechTTS", kSpeakFailureLine);
  }
  return 0;
}

int CSpeechTTS::SpeakToMe(const std::string& text, int flags) {
  return SpeakToMe(platform::WideFromLocale(text), flags);
}

bool CSpeechTTS::Start(const std::string& voiceId, long rate, int volume) {
  m_voiceId = voiceId;
  InitSAPI();
  m_rate = static_cast<int32_t>(rate);
  m_volume = volume;
  return m_initialized;
}

void CSpeechTTS::ChooseVoiceNamed(const std::string& name, long rate, int volume) {
  for (const VoiceEntry& voice : Voices()) {
    if (voice.name == name) {
      m_voiceId = voice.id;
      return;
    }
  }
  m_rate = static_cast<int32_t>(rate);
  m_volume = volume;
}

void CSpeechTTS::GetSettings(std::string& voiceId, long& rate, int& volume) const {
  voiceId = m_voiceId;
  rate = m_rate;
  volume = m_volume;
}

ISpVoice* CSpeechTTS::ReplacePlatformVoice(ISpVoice* voice) {
  ISpVoice* const replaced = ms_pVoice;
  ms_pVoice = voice;
  return replaced;
}

void CSpeechTTS::SpeakWithCurrentVoice(const std::wstring& text, int flags) {
  const std::wstring voiceId = platform::WideFromLocale(m_voiceId);
  if (ms_pVoice == nullptr) return;
  // Looked up afresh every time: the voice may have been removed meanwhile.
  ISpObjectToken* token = LookUpVoiceToken(voiceId);
  ms_pVoice->SetVoice(token);
  ms_pVoice->SetVolume(static_cast<uint16_t>(m_volume & 0xFFFF));
  ms_pVoice->SetRate(m_rate);
  LogLine("%1%", platform::BytesFromWide(text));
  ULONG stream = 0;
  // Bit 16 inverted: callers get plain text unless they ask otherwise.
  ms_pVoice->Speak(text.c_str(), static_cast<uint32_t>(flags) ^ SPF_IS_NOT_XML,
                   &stream);
  if (token) token->Release();
}

void CSpeechTTS::StopSpeaking() {
  if (ms_pVoice) ms_pVoice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
}

void CSpeechTTS::ReleaseSAPI() {
  if (ms_pVoice == nullptr) return;
  LogLine("%1%", "Releasing SAPI");
  ms_pVoice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  ULONG references = ms_pVoice->AddRef();
  LogLine("Releasing REF %1%", references);
  while (references != 0) {
    references = ms_pVoice->Release();
    LogLine("Next REF %1%", references);
  }
  ms_pVoice = nullptr;
  LogLine("%1%", "About to close COM");
  CoUninitialize();
  LogLine("%1%", "Closed COM");
}
