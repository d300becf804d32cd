#include "platform/sapi/AudioEnd.h"

#include "platform/Immortal.h"
#include "platform/environment/Environment.h"
#include "platform/file/Path.h"

namespace platform {

namespace {

class PcaudioSoundCard : public SoundCard {
 public:
  std::unique_ptr<AudioEnd> MakeEnd() override { return MakeSoundCardEnd(); }
};

}  // namespace

SoundCard& SoundCard::Real() { return Immortal<PcaudioSoundCard>(); }

AudioEndChoice ChooseAudioEnd() {
  const std::string setting = GetEnvironmentVariable("NARRO_SPEECH");
  AudioEndChoice choice;
  if (setting == "none") {
    choice.kind = AudioEndChoice::kNone;
  } else if (setting.compare(0, 4, "wav:") == 0 && setting.size() > 4) {
    choice.kind = AudioEndChoice::kWavFiles;
    choice.directory = WithTrailingSlash(setting.substr(4));
  }
  return choice;
}

std::unique_ptr<AudioEnd> MakeAudioEnd(const AudioEndChoice& choice) {
  switch (choice.kind) {
    case AudioEndChoice::kNone:
      return nullptr;
    case AudioEndChoice::kWavFiles:
      return MakeWavFileEnd(choice.directory);
    case AudioEndChoice::kSoundCard:
      break;
  }
  return Current<SoundCard>().MakeEnd();
}

}  // namespace platform
