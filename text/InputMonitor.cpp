// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/InputMonitor.h"

#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "text/TextStore.h"

bool WatchTyping(CTextStore& store, CSpeechTTS* speech, const std::wstring& line) {
  if (store.PassOverHistoryLine()) return false;
  store.SetMode(0);
  if (line.empty() || !store.IsWordEnder(line.back())) return true;
  const std::wstring& word = store.NoteLastWord(line);
  if (speech != nullptr) speech->SpeakToMe(word, SPEAK_CUT_OFF);
  return true;
}
