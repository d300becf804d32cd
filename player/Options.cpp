// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Options.h"

#include "player/WholeNumber.h"

namespace player {

bool ParseOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error) {
  error.clear();
  PlayerOptions parsed;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i] ? argv[i] : "";
    // "-" alone is a file name by old custom, not an option.
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      if (argument.empty()) {
        error = "the story's name is empty";
        return false;
      }
      if (!parsed.story.empty()) {
        error = "only one story at a time: \"" + parsed.story + "\" and \"" + argument + "\"";
        return false;
      }
      parsed.story = argument;
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const bool takesValue =
        name == "--voice" || name == "--rate" || name == "--volume" || name == "--interpreter";
    if (!takesValue && equals != std::string::npos &&
        (name == "--help" || name == "--version")) {
      error = name + " takes no value";
      return false;
    }
    std::string value;
    if (takesValue) {
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < argc && argv[i + 1]) {
        // Taken whatever it looks like: "--rate -5" is a rate, not an option.
        value = argv[++i];
      } else if (name == "--voice") {
        error = "--voice needs a voice id";
        return false;
      } else if (name == "--interpreter") {
        error = "--interpreter needs a command";
        return false;
      }  // a number left out fails below with the range it must be in
    }
    long long number = 0;
    if (name == "--voice") {
      parsed.voice = value;  // empty: the default voice, for this run
    } else if (name == "--interpreter") {
      parsed.interpreter = value;  // empty: emglken's, by the story's format
    } else if (name == "--rate") {
      if (!ParseWholeNumber(value, -10, 10, number)) {
        error = "--rate needs a number from -10 to 10";
        return false;
      }
      parsed.rate = static_cast<long>(number);
    } else if (name == "--volume") {
      if (!ParseWholeNumber(value, 0, 100, number)) {
        error = "--volume needs a number from 0 to 100";
        return false;
      }
      parsed.volume = static_cast<int>(number);
    } else if (argument == "-h" || argument == "--help") {
      parsed.help = true;
    } else if (argument == "--version") {
      parsed.version = true;
    } else if (argument == "--screen-reader") {
      parsed.screenReader = true;
    } else {
      error = "unknown option " + argument + " (a story whose name starts with - goes after --)";
      return false;
    }
  }
  options = std::move(parsed);
  return true;
}

std::string UsageText() {
  return "Usage: narro-play [STORY] [--voice ID] [--rate N] [--volume N] [--interpreter COMMAND]\n"
         "                  [--screen-reader]\n"
         "Plays an interactive-fiction story (Z-code, Glulx, Blorb, Hugo, TADS, ADRIFT)\n"
         "and speaks its text.\n"
         "\n"
         "  --voice ID    speak with this voice (empty: the default voice)\n"
         "  --rate N      speech rate, from -10 (slow) to 10 (fast)\n"
         "  --volume N    speech volume, from 0 to 100\n"
         "  --interpreter COMMAND\n"
         "                run the story with this RemGlk (GlkOte protocol) interpreter\n"
         "                instead of emglken's; the story's path is added at its end\n"
         "  --screen-reader\n"
         "                speak nothing: the screen reader (Orca, fenrir, speakup) reads\n"
         "                what narro-play shows, status and messages as lines of text\n"
         "  -h, --help    show this text and stop\n"
         "  --version     show the version and stop\n"
         "  --            the end of the options: \"-- -x\" plays a story named -x\n"
         "\n"
         "The options hold for this run only; the settings kept between runs are in\n"
         "$XDG_CONFIG_HOME/narro/player.conf (usually ~/.config/narro/player.conf).\n";
}

void ApplyOptions(const PlayerOptions& options, PlayerSettings& settings) {
  if (options.voice) settings.voiceId = *options.voice;
  if (options.rate) settings.rate = *options.rate;
  if (options.volume) settings.volume = *options.volume;
  if (options.interpreter) settings.interpreter = *options.interpreter;
  if (options.screenReader) settings.screenReader = true;
}

}  // namespace player
