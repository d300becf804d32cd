// SPDX-License-Identifier: GPL-3.0-or-later
// Watching the player's typing: each word is spoken the moment a space,
// comma, full stop or question mark completes it.
#include "core/ExceptionGuard.h"
#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "speech/SpeechTTS.h"
#include "text/TextStore.h"

namespace {
// Cut off whatever is being said and speak the word now.
constexpr int kEchoFlags = 3;
}  // namespace

int CNarro::MonitorInput(const wchar_t* line) {
  if (!m_textStore) return 0;
  CTextStore& store = *m_textStore;
  bool skipped = false;
  NARRO_GUARDED("CNarro::MonitorInput", [&] {
    if (store.m_history != 0) {
      --store.m_history;
      skipped = true;
      return;
    }
    const std::wstring text = line ? line : L"";
    store.m_mode = 0;
    if (text.empty() || store.m_wordEnders.find(text.back()) == std::wstring::npos) {
      return;
    }
    store.m_lastWord = store.LastWord(text);
    if (checkFlags(FLAG_SPEECH) && m_speech) {
      m_speech->SpeakToMe(store.m_lastWord, kEchoFlags);
    }
  });
  return skipped ? 0 : static_cast<int>(store.m_lastWord.size());
}

// The widening allocates, so it runs inside the guard as well.
int CNarro::MonitorInput(const char* line) {
  std::wstring wide;
  bool widened = false;
  NARRO_GUARDED("CNarro::MonitorInput", [&] {
    wide = platform::WideFromBytes(line ? line : "");
    widened = true;
  });
  if (!widened) return GetLastCommandLength();
  return MonitorInput(wide.c_str());
}

int CNarro::GetLastCommandLength() {
  return m_textStore ? static_cast<int>(m_textStore->m_lastWord.size()) : 0;
}
