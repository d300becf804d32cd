// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechEnd.h"

#include "platform/environment/Environment.h"
#include "platform/file/Path.h"

namespace platform {

AudioEndChoice ChooseAudioEnd() {
  const std::string setting = GetEnvironmentVariable("NARRO_SPEECH");
  AudioEndChoice choice;
  if (setting == "speechd") {
    choice.kind = AudioEndChoice::kSpeechd;
  } else if (setting == "audio") {
    choice.kind = AudioEndChoice::kSoundCard;
  } else if (setting == "none") {
    choice.kind = AudioEndChoice::kNone;
  } else if (setting.compare(0, 4, "wav:") == 0 && setting.size() > 4) {
    choice.kind = AudioEndChoice::kWavFiles;
    choice.directory = WithTrailingSlash(setting.substr(4));
  }
  return choice;
}

}  // namespace platform
