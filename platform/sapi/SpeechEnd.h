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
AudioEndChoice ChooseAudioEnd();

// Whether voices come from speech-dispatcher: with NARRO_SPEECH=speechd, or
// unset when the last voice made went there (asking the server, within the
// automatic limit, when no voice was made yet).
bool SpeechdIsTheEnd();
// What the last voice made with NARRO_SPEECH unset went to.
void NoteAutomaticEnd(bool speechd);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECH_END_H_
