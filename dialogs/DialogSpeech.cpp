// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogSpeech.h"

#include "dialogs/ListBoxSpeak.h"
#include "narro/Narro.h"

void CEngineAnnouncer::Announce(const std::wstring& text, int flags) {
  CNarro* facade = CNarro::GetSingletonPtr();
  if (facade == nullptr || !facade->checkFlags(m_requiredFlags)) return;
  SpeakThroughEngine(text, flags);
}
