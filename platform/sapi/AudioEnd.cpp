#include "platform/sapi/AudioEnd.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

struct FactoryHolder {
  std::mutex lock;
  AudioEndFactory factory;
};

FactoryHolder& Holder() {
  static auto* holder = new FactoryHolder();
  return *holder;
}

}  // namespace

AudioEndChoice ChooseAudioEnd() {
  const char* value = std::getenv("NARRO_SPEECH");
  const std::string setting = value ? value : "";
  AudioEndChoice choice;
  if (setting == "none") {
    choice.kind = AudioEndChoice::kNone;
  } else if (setting.compare(0, 4, "wav:") == 0 && setting.size() > 4) {
    choice.kind = AudioEndChoice::kWavFiles;
    choice.directory = setting.substr(4);
    if (choice.directory.back() != '/') choice.directory += '/';
  }
  return choice;
}

void SetSoundCardFactory(AudioEndFactory factory) {
  FactoryHolder& holder = Holder();
  const std::lock_guard<std::mutex> guard(holder.lock);
  holder.factory = std::move(factory);
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
  FactoryHolder& holder = Holder();
  const std::lock_guard<std::mutex> guard(holder.lock);
  return holder.factory ? holder.factory() : MakeSoundCardEnd();
}

}  // namespace platform
