// SPDX-License-Identifier: GPL-3.0-or-later
// The process's one espeak-ng engine. espeak-ng is not re-entrant: every
// call goes through here, one at a time. It is started once and kept for
// the life of the process, since espeak-ng 1.51 can hang when it is
// terminated after synthesis.
#ifndef NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_H_
#define NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

struct InstalledVoice {
  std::string name;        // "English (America)"
  std::string identifier;  // "gmw/en-US"
  std::string language;    // "en-us", the voice's first language
};

// One chunk of synthesised samples; return false to stop the synthesis.
using SampleSink = std::function<bool(const int16_t* samples, int count)>;

struct SynthesisRequest {
  const wchar_t* text = nullptr;  // zero-terminated
  bool markup = false;            // SSML
  std::string voiceIdentifier;    // empty: the default voice
  int wordsPerMinute = 175;
  int volume = 100;               // 0 .. 100
};

class Espeak {
 public:
  // Starts the engine the first time; true when it runs. A missing voice
  // data folder makes this false, never ends the process.
  static bool Start();
  static int SampleRate();

  // The words a minute for SAPI's rate, -10 to 10, 0 being the normal 175.
  // Each step is heard: every one is faster than the one below it.
  static int WordsPerMinute(long rate);

  // The installed voices, copied out of espeak-ng's own list, sorted by
  // identifier so that the order is stable.
  static std::vector<InstalledVoice> ListVoices();

  // Synthesises the whole text, handing each chunk to sink on this thread.
  // False when the engine is not running or the sink stopped it.
  static bool Synthesize(const SynthesisRequest& request, const SampleSink& sink);
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_H_
