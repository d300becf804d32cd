// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/InterpreterCommand.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "player/Files.h"
#include "player/InstallFolder.h"
#include "player/Interpreter.h"

namespace player {

namespace {

// emglken's runner bundled into one file at set-up, which starts in half
// the time; else emglken's own.
const char* const kRunners[] = {"node_modules/emglken/build/narro-runner.mjs",
                                "node_modules/emglken/bin/emglken.js"};

bool IsReadableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

std::string RunnerIn(const std::string& folder) {
  for (const char* runner : kRunners) {
    if (IsReadableFile(folder + runner)) return folder + runner;
  }
  return std::string();
}

}  // namespace

std::string FindEmglken() {
  const char* given = getenv("NARRO_EMGLKEN");
  if (given != nullptr && *given != '\0') return IsReadableFile(given) ? given : std::string();
  const std::string installed = InstalledShareFolder();
  std::string runner = installed.empty() ? std::string() : RunnerIn(installed);
#ifdef NARRO_EMGLKEN_BUILD_FOLDER
  if (runner.empty()) runner = RunnerIn(std::string(NARRO_EMGLKEN_BUILD_FOLDER) + "/");
#endif
  return runner;
}

bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& path,
                        std::vector<std::string>& argv, std::string& error) {
  argv.clear();
  const std::string story = PathForInterpreter(path, FolderOf(path), Interpreter::kFolderFd);
  if (story.empty()) {
    error = path + ": the interpreter cannot open a story whose name is not UTF-8 text";
    return false;
  }
  if (!custom.empty()) {
    if (!SplitCommand(custom, argv)) {
      error = "the interpreter command \"" + custom + "\" is empty or has an unfinished quote";
      return false;
    }
    argv.push_back(story);
    return true;
  }
  if (vm.empty()) {
    error = path + ": not a story file any interpreter here plays (Z-code, Glulx, Blorb, Hugo, TADS, ADRIFT)";
    return false;
  }
  const std::string runner = FindEmglken();
  if (runner.empty()) {
    error = "the interpreters are not installed (emglken's emglken.js was not found; "
            "scripts/install-deps.sh installs them)";
    return false;
  }
  const char* node = getenv("NARRO_NODE");
  // The story goes after "--", so that no name is taken for an option.
  // V8 otherwise gives back memory in one burst of CPU some seconds after
  // the last turn, while the game only waits: a few more MiB kept instead.
  argv = {node != nullptr && *node != '\0' ? node : "node", "--no-memory-reducer", runner, "--vm", vm,
          "--rem=true", "--", story};
  return true;
}

}  // namespace player
