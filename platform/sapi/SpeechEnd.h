// SPDX-License-Identifier: GPL-3.0-or-later
// Where synthesised speech goes: speech-dispatcher, the sound card, WAV
// files, or nowhere. NARRO_SPEECH picks it: "speechd" the player's
// speech-dispatcher, "audio" the sound card, unset speech-dispatcher when it
// answers in time and else the sound card, "wav:DIR" real synthesis written
// to DIR, "none" no voice at all.
#ifndef NARRO_PLATFORM_SAPI_SPEECH_END_H_
#define NARRO_PLATFORM_SAPI_SPEECH_END_H_

#include <string>

namespace platform {

// What NARRO_SPEECH names. The speech log directory is empty unless it is
// "wav:DIR".
struct AudioEndChoice {
  enum Kind { kAutomatic, kSpeechd, kSoundCard, kWavFiles, kNone } kind = kAutomatic;
  std::string directory;
};
// Read afresh at each call. BackEndFactory.h makes the back end it names.
AudioEndChoice ChooseAudioEnd();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECH_END_H_
