// SPDX-License-Identifier: GPL-3.0-or-later
// DIR/speech.log of the "wav:DIR" audio end: one line per speak request,
// tab-separated: the flags the platform received, rate, volume, voice token
// id and the text (UTF-8, line feeds written as \n). A request's line
// number is the number of its WAV file.
#ifndef NARRO_PLATFORM_SAPI_SPEECH_LOG_H_
#define NARRO_PLATFORM_SAPI_SPEECH_LOG_H_

#include <cstdint>
#include <string>

namespace platform {

struct SpeakRequestRecord {
  uint32_t flags = 0;
  long rate = 0;
  int volume = 0;
  std::wstring voiceTokenId;
  std::wstring text;
};

// Appends the request's line; returns its line number (from 1), or 0 when
// the log cannot be written.
uint64_t AppendSpeechLog(const std::string& directory,
                         const SpeakRequestRecord& record);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECH_LOG_H_
