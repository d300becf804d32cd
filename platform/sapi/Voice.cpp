// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/Voice.h"

#include <algorithm>
#include <utility>

#include "platform/sapi/BackEndFactory.h"

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
  return MakeVoiceBackEnd([voice](std::unique_ptr<VoiceBackEnd> end) {
    Voice* made = Started(std::move(end));
    if (made == nullptr) return false;
    *voice = made;
    return true;
  });
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
