// SPDX-License-Identifier: GPL-3.0-or-later
// Where the espeak-ng voice's samples go: the sound card or WAV files
// (platform/sapi/SpeechEnd.h says which). Everything but the factory is
// called on the voice's worker thread only.
#ifndef NARRO_PLATFORM_SAPI_ESPEAK_AUDIO_END_H_
#define NARRO_PLATFORM_SAPI_ESPEAK_AUDIO_END_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Seam.h"
#include "platform/sapi/SpeechEnd.h"

namespace platform {

class AudioEnd {
 public:
  virtual ~AudioEnd() = default;

  // False when the device cannot play 16-bit mono at this rate.
  virtual bool Open(int sampleRate) = 0;
  // The utterance whose samples come next; its number is the line of its
  // request in the speech log, 0 when there is none.
  virtual void BeginUtterance(uint64_t number) = 0;
  virtual void Write(const int16_t* samples, size_t count) = 0;
  // Drops whatever has not been played yet.
  virtual void Flush() = 0;
  // Waits until everything written has been played.
  virtual void Drain() = 0;
  virtual void EndUtterance() = 0;
};

// A new, unopened audio end of the kind chosen; null for "none".
std::unique_ptr<AudioEnd> MakeAudioEnd(const AudioEndChoice& choice);

// The sound card. The seam (platform/Seam.h): the real one plays through
// pcaudiolib; a benchmark puts a timed stand-in in place with a
// ScopedSoundCard, since no machine that runs the tests has a sound card.
class SoundCard {
 public:
  virtual ~SoundCard() = default;
  static SoundCard& Real();
  // A new, unopened audio end that plays on it. Called on the thread that
  // creates a voice.
  virtual std::unique_ptr<AudioEnd> MakeEnd() = 0;
};

using ScopedSoundCard = ScopedReplacement<SoundCard>;

// The real sound card's end, whichever sound card is in use.
std::unique_ptr<AudioEnd> MakeSoundCardEnd();
std::unique_ptr<AudioEnd> MakeWavFileEnd(const std::string& directory);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_ESPEAK_AUDIO_END_H_
