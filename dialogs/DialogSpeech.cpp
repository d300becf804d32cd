// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogSpeech.h"

#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "text/DialogHost.h"

void SpeakThroughEngine(const std::wstring& text, int flags) {
  if (CSpeechTTS* engine = CSpeechTTS::GetSingletonPtr()) engine->SpeakToMe(text, flags);
}

void SpeakThroughEngine(const std::string& text, int flags) {
  if (CSpeechTTS* engine = CSpeechTTS::GetSingletonPtr()) engine->SpeakToMe(text, flags);
}

void CEngineAnnouncer::Announce(const std::wstring& text, int flags) {
  if (!HostFlags(m_requiredFlags)) return;
  SpeakThroughEngine(text, flags);
}
