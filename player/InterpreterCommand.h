// SPDX-License-Identifier: GPL-3.0-or-later
// The command that plays a story: our own native Bocfel or Glulxe for
// Z-code and Glulx, emglken's interpreter for its format run by Node.js
// for the others, or the RemGlk interpreter the player named; and its
// start in the cage (player/Cage.h).
#ifndef NARRO_PLAYER_INTERPRETER_COMMAND_H_
#define NARRO_PLAYER_INTERPRETER_COMMAND_H_

#include <cstdint>
#include <string>
#include <vector>

#include "player/Cage.h"

namespace player {

class Interpreter;

// emglken's runner: $NARRO_EMGLKEN when set; else the one installed with
// the program (share/narro/node_modules/..., player/InstallFolder.h), or,
// for a program run from the build tree, the source tree's; in each place
// the one-file bundle the set-up made (emglken/build/narro-runner.mjs)
// before emglken's own bin/emglken.js. Empty when none is there.
std::string FindEmglken();

// The native interpreter for `vm` ("bocfel", "glulxe") built with the
// program (player/InstallFolder.h's HelperProgramFolder); empty when
// there is none.
std::string FindNativeInterpreter(const std::string& vm);

// The player's choice of interpreter that means emglken's for every
// format, the native ones included.
extern const char kEmglkenChoice[];

// A story larger than this is refused before any interpreter sees it:
// emglken's file layer reads nothing of a file of 2 GiB, and wrote that
// nothing back over the story.
constexpr uint64_t kStoryLimit = (2ull << 30) - 1;

struct InterpreterLaunch {
  std::vector<std::string> argv;  // the interpreter's words, the story last
  CageKind kind = CageKind::kOther;
  // The files it is made of, beyond the system's: read and run in the cage.
  std::vector<std::string> programFiles;
};

// What runs `story`. `custom` is the player's own command (--interpreter
// or the settings file), the story's path appended, or kEmglkenChoice;
// else the native interpreter for `vm` when there is one, else emglken
// (node is $NARRO_NODE, else "node" from PATH). The command runs in a
// folder of its own and names the story by its path, or through the
// story's folder open as Interpreter::kFolderFd when the path is not UTF-8
// (PathForInterpreter). False with the reason in `error` (an unknown
// format, a command with an open quote, emglken not installed, a story
// whose own name is not UTF-8).
bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& story,
                        InterpreterLaunch& launch, std::string& error);
// The same, the words alone.
bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& story,
                        std::vector<std::string>& argv, std::string& error);

// Starts `launch` for `story` in the cage: in `folder` (a private folder,
// which it may write when `writable`), reading the story and its program
// files only. Refuses, with the reason in `error`, a story that is not a
// regular file or is larger than kStoryLimit, and an installation without
// narro-cage.
bool StartCaged(Interpreter& interpreter, const InterpreterLaunch& launch, const std::string& story,
                const std::string& folder, bool writable, std::string& error);

}  // namespace player

#endif  // NARRO_PLAYER_INTERPRETER_COMMAND_H_
