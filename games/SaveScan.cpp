// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/SaveScan.h"

#include <boost/make_shared.hpp>
#include <vector>

#include "core/Log.h"
#include "games/FolderWalk.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"
#include "games/SerialPlace.h"
#include "platform/file/Path.h"

bool crcFromSaveName(const std::string& name, std::string& tag) {
  const size_t end = name.rfind("%_");
  const size_t start = name.rfind("_%");
  if (end == std::string::npos || start == std::string::npos || end != start + 10) {
    return false;
  }
  tag = name.substr(start + 2, 8);
  return true;
}

std::string saveDisplayText(const std::string& path, const std::string& gameName) {
  const size_t slash = path.rfind('/');
  std::string text = slash == std::string::npos ? path : path.substr(slash + 1);
  text = text.substr(0, text.rfind('.'));
  text = text.substr(0, text.find("_%"));
  return text + ": " + gameName;
}

namespace {

void AddSave(GameSet& saves, const FoundFile& file, const CGame& game,
             const std::string& serial) {
  const std::string display = saveDisplayText(file.path, game.FullName);
  LogLine("Found save: %1% - %2% - %3%", display, game.fingerprint, serial);
  const GamePtr save = boost::make_shared<CGame>(display, display, serial);
  if (!saves.insert(save).second) return;
  save->fn = file.path;
  save->found = true;
  LogLine("Add save: %1% - %2% - %3%", display, game.fingerprint, serial);
}

}  // namespace

size_t CGameLibrary::scanSaves(GameSet& saves, const std::string& dir) {
  // An empty folder path would otherwise become "/", the whole disk.
  if (dir.empty()) return 0;
  const std::string folder = platform::WithTrailingSlash(dir);
  LogLine("Scanning for saves: %1%", folder);
  std::vector<FoundFile> files;
  findFiles(folder, true, files);

  for (const FoundFile& file : files) {
    if (!hasExtension(file.path, saveExtensions)) continue;
    const std::string serial = saveSerial(file.path);
    std::string tag;
    if (!crcFromSaveName(file.path, tag)) continue;
    LogLine("CRC PARSE [%1%]", tag);
    if (serial.empty()) {
      // TADS, Hugo and ADRIFT keep no serial, neither in the story nor in
      // the save: the tag alone ties them (a database may still hold the
      // bytes an older scan read at Z-code's place for such a story).
      if (!saveKeepsNoSerial(file.path)) continue;
      for (const GamePtr& game : catalogue) {
        if (tag != game->fingerprint || isSerialText(game->sn)) continue;
        LogLine("CRC compare: [%1%] == [%2%]", tag, game->fingerprint);
        AddSave(saves, file, *game, std::string());
      }
      continue;
    }
    for (const GamePtr& game : catalogue) {
      if (game->sn != serial) continue;
      LogLine("serial compare: [%1%] == [%2%]", serial, game->sn);
      LogLine("CRC compare: [%1%] == [%2%]", tag, game->fingerprint);
      if (tag != game->fingerprint) continue;
      AddSave(saves, file, *game, serial);
    }
  }
  LogLine("Found [%1%] saves.", saves.size());
  return files.size();
}
