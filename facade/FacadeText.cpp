// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's text and speaking operations: the output buffer, the typing
// echo, and speech. Each hands the store and the engine to the text and
// speech code that does the work.
#include "core/ExceptionGuard.h"
#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "text/InputMonitor.h"
#include "text/SpeechShaping.h"
#include "text/TextStore.h"

// The string values are read as the zero-terminated texts they hand out.
int CNarro::AddToBuffer(const CTTSWString& text) {
  if (!m_textStore) return 0;
  return m_textStore->AddText(static_cast<const wchar_t*>(text));
}

int CNarro::AddToBuffer(const CTTSString& text) {
  return AddToBuffer(CTTSWString(ASCII_To_UC8(static_cast<const char*>(text))));
}

void CNarro::ClearBuffer() {
  if (m_textStore) m_textStore->RequestClear();
}

int CNarro::MonitorInput(const wchar_t* line) {
  if (!m_textStore) return 0;
  CTextStore& store = *m_textStore;
  CSpeechTTS* speech = checkFlags(FLAG_SPEECH) ? m_speech.get() : nullptr;
  bool passedOver = false;
  NARRO_GUARDED("CNarro::MonitorInput", [&] {
    passedOver = !WatchTyping(store, speech, line ? line : L"");
  });
  return passedOver ? 0 : static_cast<int>(store.LastTypedWord().size());
}

// The widening allocates, so it runs inside the guard as well.
int CNarro::MonitorInput(const char* line) {
  std::wstring wide;
  bool widened = false;
  NARRO_GUARDED("CNarro::MonitorInput", [&] {
    wide = ASCII_To_UC8(line ? line : "");
    widened = true;
  });
  if (!widened) return GetLastCommandLength();
  return MonitorInput(wide.c_str());
}

int CNarro::GetLastCommandLength() {
  return m_textStore ? static_cast<int>(m_textStore->LastTypedWord().size()) : 0;
}

void CNarro::Speak(const std::string& text, int flags) {
  NARRO_GUARDED("CNarro::Speak", [&] {
    if (m_speech) m_speech->SpeakToMe(text, flags);
  });
}

void CNarro::Speak(const std::wstring& text, int flags) {
  NARRO_GUARDED("CNarro::Speak", [&] {
    if (m_speech) m_speech->SpeakToMe(text, flags);
  });
}

void CNarro::Repeat() {
  if (m_textStore) Speak(m_textStore->Text(), SPEAK_CUT_OFF);
}

// Every line is queued behind what is being said, each its own utterance.
void CNarro::SpeakParagraph(const std::wstring& text, int /*flags*/) {
  for (const std::wstring& line : SpokenLines(text)) Speak(line, SPEAK_QUEUED);
}

void CNarro::SpeakDir(const std::string& path, int flags) {
  Speak(DirectoryAnnouncement(path), flags);
}

int CNarro::findandreplace(std::wstring& source, const std::wstring& find,
                           const std::wstring& replacement) {
  return FindAndReplace(source, find, replacement);
}
