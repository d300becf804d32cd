// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechEnd.h"

#include <atomic>

#include "platform/environment/Environment.h"
#include "platform/file/Path.h"
#include "platform/sapi/speechd/SpeechdConnection.h"

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

namespace {
enum class Noted { kNothing, kSpeechd, kSoundCard };
std::atomic<Noted> g_automaticEnd{Noted::kNothing};
}  // namespace

void NoteAutomaticEnd(bool speechd) {
  g_automaticEnd = speechd ? Noted::kSpeechd : Noted::kSoundCard;
}

bool SpeechdIsTheEnd() {
  const AudioEndChoice choice = ChooseAudioEnd();
  if (choice.kind == AudioEndChoice::kSpeechd) return true;
  if (choice.kind != AudioEndChoice::kAutomatic) return false;
  const Noted noted = g_automaticEnd;
  if (noted != Noted::kNothing) return noted == Noted::kSpeechd;
  std::string error;
  const auto limit = Current<SpeechdLimits>().automaticOpen;
  const bool answered =
      OpenSpeechdChannel("probe", false, SsipClock::now() + limit, limit.count(), &error) != nullptr;
  NoteAutomaticEnd(answered);
  return answered;
}

}  // namespace platform
