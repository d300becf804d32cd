// SPDX-License-Identifier: GPL-3.0-or-later
// narro: checks and uses an installation of the library from the shell.
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>

#include "facade/LibraryLifetime.h"
#include "narro/Narro.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

int RunSelfCheck(const Arguments& arguments);
int RunVoices(const Arguments& arguments);
int RunSay(const Arguments& arguments);
int RunCrc(const Arguments& arguments);
int RunAddGame(const Arguments& arguments);
int RunScan(const Arguments& arguments);
int RunSaves(const Arguments& arguments);
int RunCheckVersion(const Arguments& arguments);
int RunList(const Arguments& arguments);
int RunInput(const Arguments& arguments);
int RunChooseFolder(const Arguments& arguments);
int RunMonitor(const Arguments& arguments);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"self-check", "",
       "start the library, print its flags, root folder and scratch list",
       RunSelfCheck},
      {"voices", "", "list the installed voices: name, a tab, token id",
       RunVoices},
      {"say", "[--voice ID] [--rate N] [--volume N] TEXT...",
       "speak the text and wait until it has been heard", RunSay},
      {"crc", "FILE...", "print the CRC text of each file, a tab and its path", RunCrc},
      {"add-game", "FILE NAME", "add a story file to User_Fingerprints.xml", RunAddGame},
      {"scan", "DIR [--games EXTS]",
       "print the known games found under DIR: fingerprint, name and file", RunScan},
      {"saves", "DIR [--games EXTS] [--saves EXTS]",
       "print the saved games found under DIR: name and file", RunSaves},
      {"list", "games|saves|voices|words|scratch [--games EXTS] [--saves EXTS] [--root DIR] [FILE...]",
       "show a spoken list (for words, each FILE's text is the game's output first);\n"
       "      print the choice, or exit 1 when there is none",
       RunList},
      {"input", "PROMPT [--clean]",
       "ask for a line of text; print it (cleaned for a file name with --clean)", RunInput},
      {"choose-folder", "[START]", "choose a folder, starting at START; print its path",
       RunChooseFolder},
      {"monitor", "[--pid N] [--grep TEXT]",
       "print every line written to the debug-output channel, until Ctrl-C", RunMonitor},
      {"check-version", "",
       "ask the version-check server whether a newer narro exists",
       RunCheckVersion},
  };
  return commands;
}

}  // namespace narro_tool

namespace {

using narro_tool::Command;
using narro_tool::Commands;

void PrintHelp() {
  std::printf("usage: narro COMMAND [ARGUMENTS]\n\ncommands:\n");
  for (const Command& command : Commands()) {
    std::printf("  %s %s\n      %s\n", command.name, command.usage,
                command.summary);
  }
  std::printf(
      "\n  --help       this text\n  --version    the library's version\n"
      "\nenvironment: NARRO_DATA_DIR (data folder), NARRO_LOG (copy of the "
      "log:\na file or \"stderr\"), NARRO_SPEECH (speechd, audio, wav:DIR or none;\n"
      "unset: speech-dispatcher when it answers, else the sound card),\n"
      "NARRO_KEYS (a key script the dialogs read instead of the terminal),\n"
      "NARRO_VERSION_SERVER (base URL of the version-check server)\n");
}

const Command* FindCommand(const std::string& name) {
  for (const Command& command : Commands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

int RunCommand(const Command& command, const narro_tool::Arguments& arguments) {
  AttachLibrary();
  int status = 1;
  try {
    status = command.run(arguments);
  } catch (const narro_tool::UsageError& e) {
    std::fprintf(stderr, "narro %s: %s\n", command.name, e.what());
    status = 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "narro %s: %s\n", command.name, e.what());
    status = 1;
  }
  DetachLibrary();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  narro_tool::GuardStandardDescriptors();
  // Names and typed text are shown, spoken and printed in the user's
  // encoding; numbers stay in the C locale's form.
  std::setlocale(LC_CTYPE, "");
  if (argc < 2) {
    std::fprintf(stderr, "narro: no command given (narro --help lists them)\n");
    return 2;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h") {
    PrintHelp();
    return 0;
  }
  if (first == "--version") {
    std::printf("narro %s\n", NARRO_VERSION);
    return 0;
  }
  const Command* command = FindCommand(first);
  if (command == nullptr) {
    std::fprintf(stderr, "narro: unknown command \"%s\" (narro --help lists them)\n",
                 first.c_str());
    return 2;
  }
  return RunCommand(*command, narro_tool::Arguments(argv + 2, argv + argc));
}
