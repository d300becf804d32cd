// SPDX-License-Identifier: GPL-3.0-or-later
// The narro tool's commands and the small parsing they share.
#ifndef NARRO_TOOLS_NARRO_COMMAND_LINE_H_
#define NARRO_TOOLS_NARRO_COMMAND_LINE_H_

#include <stdexcept>
#include <string>
#include <vector>

namespace narro_tool {

using Arguments = std::vector<std::string>;

// A command given the wrong arguments: exit status 2, one line of message.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Command {
  const char* name;
  const char* usage;    // the arguments, as --help shows them
  const char* summary;  // one line
  int (*run)(const Arguments& arguments);  // 0 done, 1 failed
};

// Every command, in the order --help lists them.
const std::vector<Command>& Commands();

// The endings of the story files and saved games the lists and scans look
// for unless told otherwise: those of every story narro-play plays, and of
// the saves its interpreters write (".glksave") besides the usual ones.
extern const char kDefaultGameEndings[];
extern const char kDefaultSaveEndings[];

// Takes "--name VALUE" out of arguments; returns false when it is absent.
bool TakeOption(Arguments& arguments, const std::string& name,
                std::string* value);

// A whole decimal number, or a UsageError naming what it was for.
long ParseNumber(const std::string& text, const std::string& what);

// No "--" options may be left over.
void RejectOptions(const Arguments& arguments);

// Called first thing in main: standard descriptors the tool was started
// without are opened on /dev/null, so that no file the tool opens later
// takes their number and receives its output. Whether standard output was
// closed is remembered for the commands whose output is the point.
void GuardStandardDescriptors();
bool StandardOutputWasClosed();

}  // namespace narro_tool

#endif  // NARRO_TOOLS_NARRO_COMMAND_LINE_H_
