// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's command line: what the user asks for this one run.
#ifndef NARRO_PLAYER_OPTIONS_H_
#define NARRO_PLAYER_OPTIONS_H_

#include <optional>
#include <string>

#include "player/Settings.h"

namespace player {

struct PlayerOptions {
  std::string story;                 // empty: none given
  std::optional<std::string> voice;  // --voice ID
  std::optional<long> rate;          // --rate N, -10..10
  std::optional<int> volume;         // --volume N, 0..100
  std::optional<std::string> interpreter;  // --interpreter COMMAND
  bool screenReader = false;         // --screen-reader
  bool help = false;                 // -h, --help
  bool version = false;              // --version
};

// narro-play [STORY] [--voice ID] [--rate N] [--volume N] [--interpreter C]
// [--screen-reader],
// also --rate=N;
// "--" ends the options. False with a one-line `error` for an unknown
// option, a missing or bad value, or two stories; `options` is then left as
// it was.
bool ParseOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error);

// The usage text for --help and errors, several lines.
std::string UsageText();

// The options over the settings read from the file, for this run only.
void ApplyOptions(const PlayerOptions& options, PlayerSettings& settings);

}  // namespace player

#endif  // NARRO_PLAYER_OPTIONS_H_
