// SPDX-License-Identifier: GPL-3.0-or-later
// narro crc, add-game, scan and saves: the game library from the shell,
// doing what the host's calls and the game and save lists do.
#include <sys/stat.h>

#include <cstdio>

#include "games/GameLibrary.h"
#include "narro/Narro.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

namespace {

// The one FOLDER argument of scan and saves, left after the options.
std::string TakeFolder(const Arguments& arguments) {
  RejectOptions(arguments);
  if (arguments.size() != 1 || arguments[0].empty()) {
    throw UsageError("needs one folder");
  }
  struct stat st;
  if (stat(arguments[0].c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    throw std::runtime_error("no folder " + arguments[0]);
  }
  return arguments[0];
}

// Loads both databases and scans, as the list driver does.
void ScanGames(CGameLibrary& library, const std::string& folder,
               const std::string& games, const std::string& saves) {
  library.setExtensions(games.c_str(), saves.c_str());
  library.loadFingerprints(nullptr, 0);
  library.scanGames(folder.c_str(), nullptr, false);
}

}  // namespace

int RunCrc(const Arguments& arguments) {
  RejectOptions(arguments);
  if (arguments.empty()) throw UsageError("needs at least one file");
  int status = 0;
  for (const std::string& file : arguments) {
    CTTSString crc;
    if (CNarro::GetSingleton().GetCRC(CTTSString(file), crc)) {
      std::printf("%s\t%s\n", static_cast<const char*>(crc), file.c_str());
    } else {
      std::fprintf(stderr, "narro crc: cannot read %s\n", file.c_str());
      status = 1;
    }
  }
  return status;
}

int RunAddGame(const Arguments& arguments) {
  RejectOptions(arguments);
  if (arguments.size() != 2) throw UsageError("needs a story file and a name");
  CTTSString file(arguments[0]), name(arguments[1]);
  if (CNarro::GetSingleton().addNewGame(file, name)) return 0;
  std::fprintf(stderr, "narro add-game: could not add %s: the file cannot be read, "
               "or %s cannot be written\n", arguments[0].c_str(), UserFingerprintFile().c_str());
  return 1;
}

int RunScan(const Arguments& given) {
  Arguments arguments = given;
  std::string games = kDefaultGameEndings;
  TakeOption(arguments, "--games", &games);
  const std::string folder = TakeFolder(arguments);
  CGameLibrary library;
  ScanGames(library, folder, games, kDefaultSaveEndings);
  for (const GamePtr& game : library.catalogue) {
    if (!game->found) continue;
    std::printf("%s\t%s\t%s\n", game->fingerprint.c_str(), game->FullName.c_str(),
                game->fn.c_str());
  }
  return 0;
}

int RunSaves(const Arguments& given) {
  Arguments arguments = given;
  std::string games = kDefaultGameEndings, saveEndings = kDefaultSaveEndings;
  TakeOption(arguments, "--games", &games);
  TakeOption(arguments, "--saves", &saveEndings);
  const std::string folder = TakeFolder(arguments);
  CGameLibrary library;
  ScanGames(library, folder, games, saveEndings);
  GameSet saves;
  library.scanSaves(saves, folder);
  for (const GamePtr& save : saves) {
    if (save->found) std::printf("%s\t%s\n", save->FullName.c_str(), save->fn.c_str());
  }
  return 0;
}

}  // namespace narro_tool
