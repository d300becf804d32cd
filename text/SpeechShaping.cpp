// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's speaking operations and the small text transformations that
// prepare text before it is spoken.
#include "core/ExceptionGuard.h"
#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "text/TextStore.h"
#include "text/Tokenize.h"

namespace {
constexpr int kQueueBehind = 1;
constexpr int kCutOffAndSpeak = 3;
}  // namespace

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
  if (m_textStore) Speak(m_textStore->m_text, kCutOffAndSpeak);
}

void CNarro::SpeakParagraph(const std::wstring& text, int /*flags*/) {
  // Every line is queued behind what is being said, each its own utterance.
  for (const std::wstring& line : Tokenize(text, L"\n")) {
    Speak(line, kQueueBehind);
  }
}

void CNarro::SpeakDir(const std::string& path, int flags) {
  std::string message = "Current Directory is: ";
  for (const std::string& part : Tokenize(path, "/")) {
    message += part + ", ";
  }
  Speak(message, flags);
}

int CNarro::findandreplace(std::wstring& source, const std::wstring& find,
                           const std::wstring& replacement) {
  if (source.empty() || find.empty()) return 0;
  // One pass, left to right; replaced text is never searched again.
  std::wstring result;
  int count = 0;
  size_t from = 0;
  for (size_t at = source.find(find); at != std::wstring::npos;
       at = source.find(find, from)) {
    result.append(source, from, at - from);
    result += replacement;
    from = at + find.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(source, from, std::wstring::npos);
  source.swap(result);
  return count;
}
