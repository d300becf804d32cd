// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/espeak/EspeakVoiceList.h"

#include <mutex>
#include <utility>

#include "platform/Immortal.h"
#include "platform/locale/TextEncoding.h"
#include "platform/sapi/Sapi.h"
#include "platform/sapi/espeak/Espeak.h"

namespace platform {

namespace {

class EspeakVoiceStore {
 public:
  VoiceTokenStore::TokenList Tokens() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!m_tokens) Refresh();
    return m_tokens;
  }

  void RefreshNow() {
    const std::lock_guard<std::mutex> guard(m_lock);
    Refresh();
  }

 private:
  void Refresh() {
    auto tokens = std::make_shared<std::vector<VoiceToken>>();
    for (const InstalledVoice& voice : Espeak::ListVoices()) {
      VoiceToken token;
      token.id = std::wstring(SPCAT_VOICES) + L"\\Tokens\\" + WideFromUtf8(voice.identifier);
      token.values[L""] = WideFromUtf8(voice.name);
      token.engineVoice = voice.identifier;
      token.language = voice.language;
      tokens->push_back(std::move(token));
    }
    m_tokens = std::move(tokens);
  }

  std::mutex m_lock;
  VoiceTokenStore::TokenList m_tokens;
};

EspeakVoiceStore& EspeakVoices() { return Immortal<EspeakVoiceStore>(); }

}  // namespace

VoiceTokenStore::TokenList EspeakVoiceTokens() { return EspeakVoices().Tokens(); }

void RefreshEspeakVoices() { EspeakVoices().RefreshNow(); }

}  // namespace platform
