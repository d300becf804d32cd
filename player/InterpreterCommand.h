// SPDX-License-Identifier: GPL-3.0-or-later
// The command that plays a story: emglken's interpreter for its format,
// run by Node.js, or the RemGlk interpreter the player named.
#ifndef NARRO_PLAYER_INTERPRETER_COMMAND_H_
#define NARRO_PLAYER_INTERPRETER_COMMAND_H_

#include <string>
#include <vector>

namespace player {

// emglken's runner: $NARRO_EMGLKEN when set; else the one installed with
// the program (share/narro/node_modules/..., player/InstallFolder.h), else
// the source tree's (for a program run from the build tree); in each
// place the one-file bundle the set-up made (emglken/build/narro-runner.mjs)
// before emglken's own bin/emglken.js. Empty when none is there.
std::string FindEmglken();

// The words to run. `custom` is the player's own command (--interpreter or
// the settings file), the story's path appended; else emglken for `vm`
// (node is $NARRO_NODE, else "node" from PATH). The command is to run in
// the story's folder (FolderOf(story)), which names the story to it when
// its path is not UTF-8 (PathForInterpreter). False with the reason in
// `error` (an unknown format, a command with an open quote, emglken not
// installed, a story whose own name is not UTF-8).
bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& story,
                        std::vector<std::string>& argv, std::string& error);

}  // namespace player

#endif  // NARRO_PLAYER_INTERPRETER_COMMAND_H_
