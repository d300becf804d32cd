// SPDX-License-Identifier: GPL-3.0-or-later
// Handing a file to the program the desktop associates with it, the way
// ShellExecuteEx, FindExecutable and ShellExecute do on Windows: xdg-open
// opens (and is the default action), $VISUAL or else $EDITOR edits, lp
// prints. Programs are started directly with posix_spawnp, never through a
// shell, so that no character of a file name is ever taken as a command.
#ifndef NARRO_PLATFORM_SHELL_SHELL_H_
#define NARRO_PLATFORM_SHELL_SHELL_H_

#include <string>
#include <vector>

#include "platform/Seam.h"

namespace platform {

// Starting a program. The seam (platform/Seam.h): tests put a starter that
// records what would have run in place with a ScopedProcessStarter.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // The real one: posix_spawnp, never waited for (the ended ones are
  // collected at the next start, so that none lingers as a zombie).
  static ProcessStarter& Real();

  // Starts argv[0] (looked up on PATH) with the rest as its arguments and
  // does not wait for it. True when the program was started.
  virtual bool Start(const std::vector<std::string>& argv) = 0;
};

using ScopedProcessStarter = ScopedReplacement<ProcessStarter>;

// Starts the program for verb ("open", "edit", "print", or empty for the
// default action) on file. False when the file does not exist, no program
// does that verb, or it could not be started.
bool ShellExecuteEx(const std::string& verb, const std::string& file);

// The program that opens file: the path of xdg-open, or empty when the
// file does not exist or there is no such program.
std::string FindExecutable(const std::string& file);

// Starts program, as FindExecutable named it, with file as its one
// argument, to do verb. That program opens files and does nothing else, so
// the verbs "edit" and "print" give false: a player who asked to edit or
// print must not be told it happened when the file was only opened.
bool ShellExecute(const std::string& verb, const std::string& program,
                  const std::string& file);

}  // namespace platform

#endif  // NARRO_PLATFORM_SHELL_SHELL_H_
