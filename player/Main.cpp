// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play [STORY] [--voice ID] [--rate N] [--volume N] [--interpreter COMMAND]
#include <limits.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <narro/Narro.h>

#include "player/InstallFolder.h"
#include "player/Options.h"
#include "player/Player.h"
#include "player/ScreenText.h"
#include "player/Settings.h"
#include "player/StoryFiles.h"
#include "platform/locale/TextEncoding.h"

namespace {

// The demo story: installed in share/narro, or in the build tree.
std::string DemoStory() {
  const std::string installed = player::InstalledShareFolder();
  const std::string folder = player::ExecutableFolder();
  for (const std::string& candidate :
       {installed.empty() ? std::string() : installed + NARRO_DEMO_STORY_NAME,
        folder + "/../stories/" NARRO_DEMO_STORY_NAME}) {
    if (candidate.empty()) continue;
    if (access(candidate.c_str(), R_OK) == 0) return candidate;
  }
  return std::string();
}

// The story's absolute path, so that no interpreter takes it for an
// option; empty, with the reason, when it is no readable file.
std::string CheckStory(const std::string& story, std::string& error) {
  char resolved[PATH_MAX];
  if (realpath(story.c_str(), resolved) == nullptr) {
    error = story + ": " + std::strerror(errno);
    return std::string();
  }
  struct stat info {};
  if (stat(resolved, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = story + ": not a story file (not a regular file)";
    return std::string();
  }
  if (access(resolved, R_OK) != 0) {
    error = story + ": " + std::strerror(errno);
    return std::string();
  }
  if (info.st_size == 0) {
    error = story + ": the file is empty";
    return std::string();
  }
  return resolved;
}

// A fault before the game starts: on standard error, without anything a
// terminal would take for a control sequence (a story's name may hold
// anything), and said aloud for a player who cannot see it; `more` (the
// usage) is shown only. Returns `status`.
int Fail(const std::string& message, int status, const player::PlayerSettings& settings,
         const std::string& more = std::string()) {
  const std::wstring text = player::ForScreen(platform::WideFromUtf8(message));
  fprintf(stderr, "narro-play: %s\n%s", platform::Utf8FromWide(text).c_str(), more.c_str());
  if (settings.screenReader) return status;  // the screen reader reads it
  ManagedNARRO narro;
  if (narro.m_facade != nullptr &&
      narro.m_facade->InitializeSAPI(settings.voiceId, settings.rate, settings.volume)) {
    narro.m_facade->Speak(text, SPEAK_AND_WAIT);
  }
  return status;
}

bool DanglingLink(const std::string& path) {
  struct stat link {};
  struct stat target {};
  return !path.empty() && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
         stat(path.c_str(), &target) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  setlocale(LC_ALL, "");
  player::PlayerOptions options;
  std::string error;
  if (!player::ParseOptions(argc, argv, options, error)) {
    std::string ignored;  // said when the player starts right
    return Fail(error + "; narro-play --help lists what it takes", 2,
                player::LoadSettings(player::SettingsPath(), ignored), player::UsageText());
  }
  if (options.help) {
    fputs(player::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    printf("narro-play %s\n", NARRO_PLAY_VERSION);
    return 0;
  }

  player::PlayerSetup setup;
  setup.settingsPath = player::SettingsPath();
  std::string problem;
  setup.stored = player::LoadSettings(setup.settingsPath, problem);
  if (!problem.empty()) {
    // A file that could not be read as settings is the user's to mend; it
    // is never replaced.
    fprintf(stderr, "narro-play: %s; it is left as it is\n", problem.c_str());
    setup.settingsWritable = false;
  } else if (DanglingLink(setup.settingsPath)) {
    // A link to nothing would be written through to wherever it points:
    // only a target read as settings is ever written.
    fprintf(stderr, "narro-play: %s links to a file that is not there; settings are not saved\n",
            setup.settingsPath.c_str());
    setup.settingsWritable = false;
  }
  setup.settings = setup.stored;
  player::ApplyOptions(options, setup.settings);

  const std::string given = options.story.empty() ? DemoStory() : options.story;
  if (given.empty()) {
    return Fail("no story given and the demo story is not installed: name a story file to play", 2,
                setup.settings, player::UsageText());
  }
  setup.story = CheckStory(given, error);
  if (setup.story.empty()) return Fail(error, 1, setup.settings);

  ManagedNARRO narro;
  if (narro.m_facade == nullptr) {
    fprintf(stderr, "narro-play: the Narro library could not start; install Narro again\n");
    return 1;
  }
  player::Player game(*narro.m_facade, setup);
  return game.Run();
}
