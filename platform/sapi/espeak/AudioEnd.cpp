// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/espeak/AudioEnd.h"

#include "platform/Immortal.h"

namespace platform {

namespace {

class PcaudioSoundCard : public SoundCard {
 public:
  std::unique_ptr<AudioEnd> MakeEnd() override { return MakeSoundCardEnd(); }
};

}  // namespace

SoundCard& SoundCard::Real() { return Immortal<PcaudioSoundCard>(); }

std::unique_ptr<AudioEnd> MakeAudioEnd(const AudioEndChoice& choice) {
  switch (choice.kind) {
    case AudioEndChoice::kNone:
      return nullptr;
    case AudioEndChoice::kWavFiles:
      return MakeWavFileEnd(choice.directory);
    case AudioEndChoice::kAutomatic:
    case AudioEndChoice::kSpeechd:
    case AudioEndChoice::kSoundCard:
      break;
  }
  return Current<SoundCard>().MakeEnd();
}

}  // namespace platform
