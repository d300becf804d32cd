// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's voice: made once, then chosen and read back.
#include <memory>

#include "narro/Narro.h"
#include "speech/SpeechTTS.h"

bool CNarro::InitializeSAPI(const std::string& voiceId, long rate, int volume) {
  if (m_speech) return false;
  m_speech = std::make_unique<CSpeechTTS>();
  return m_speech->Start(voiceId, rate, volume);
}

void CNarro::ChangeVoice(const std::string& voiceName, long rate, int volume) {
  if (m_speech) m_speech->ChooseVoiceNamed(voiceName, rate, volume);
}

// Before InitializeSAPI the outputs stay as the caller left them.
void CNarro::GetVoice(std::string& voiceId, long& rate, int& volume) {
  if (m_speech) m_speech->GetSettings(voiceId, rate, volume);
}
