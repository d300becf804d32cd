// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/InterpreterCommand.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "player/Files.h"
#include "player/Interpreter.h"

namespace player {

namespace {

const char kRunner[] = "node_modules/emglken/bin/emglken.js";

bool IsReadableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::string FindEmglken() {
  const char* given = getenv("NARRO_EMGLKEN");
  if (given != nullptr && *given != '\0') return IsReadableFile(given) ? given : std::string();
  const std::string installed = ExecutableFolder() + "/../share/narro/" + kRunner;
  if (IsReadableFile(installed)) return installed;
#ifdef NARRO_EMGLKEN_BUILD_FOLDER
  const std::string built = std::string(NARRO_EMGLKEN_BUILD_FOLDER) + "/" + kRunner;
  if (IsReadableFile(built)) return built;
#endif
  return std::string();
}

bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& story,
                        std::vector<std::string>& argv, std::string& error) {
  argv.clear();
  if (!custom.empty()) {
    if (!SplitCommand(custom, argv)) {
      error = "the interpreter command \"" + custom + "\" is empty or has an unfinished quote";
      return false;
    }
    argv.push_back(story);
    return true;
  }
  if (vm.empty()) {
    error = story + ": not a story file any interpreter here plays (Z-code, Glulx, Blorb, Hugo, TADS, ADRIFT)";
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
  argv = {node != nullptr && *node != '\0' ? node : "node", runner, "--vm", vm, "--rem=true", "--", story};
  return true;
}

}  // namespace player
