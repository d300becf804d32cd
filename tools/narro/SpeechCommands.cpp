// SPDX-License-Identifier: GPL-3.0-or-later
// narro voices, narro say: the speech engine from the shell.
#include <cstdio>

#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

namespace {
}

int RunVoices(const Arguments& arguments) {
  if (!arguments.empty()) throw UsageError("takes no arguments");
  // Listing needs no voice, so it works without a sound card too.
  std::vector<VoiceEntry> voices;
  CSpeechTTS::EnumerateVoices(voices, platform::SPCAT_VOICES);
  if (voices.empty()) {
    std::fprintf(stderr, "narro voices: no voices installed\n");
    return 1;
  }
  for (const VoiceEntry& voice : voices) {
    std::printf("%s\t%s\n", voice.name.c_str(), voice.id.c_str());
  }
  return 0;
}

int RunSay(const Arguments& given) {
  Arguments arguments = given;
  std::string voice;
  std::string rate = "0";
  std::string volume = "100";
  TakeOption(arguments, "--voice", &voice);
  TakeOption(arguments, "--rate", &rate);
  TakeOption(arguments, "--volume", &volume);
  RejectOptions(arguments);
  if (arguments.empty()) throw UsageError("nothing to say");
  std::string text;
  for (const std::string& word : arguments) text += (text.empty() ? "" : " ") + word;

  CNarro& narro = CNarro::GetSingleton();
  if (!narro.InitializeSAPI(voice, ParseNumber(rate, "--rate"),
                            static_cast<int>(ParseNumber(volume, "--volume")))) {
    std::fprintf(stderr, "narro say: no speech on this machine\n");
    return 1;
  }
  narro.Speak(text, SPEAK_AND_WAIT);
  narro.release();
  return 0;
}

}  // namespace narro_tool
