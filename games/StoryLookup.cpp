// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/StoryLookup.h"

#include "core/Log.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"

namespace {

// "/games/cave.z5" -> "cave": what a player calls a story nobody named.
std::string FileStem(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

// The CRC is taken before any database is read, so that a story that
// cannot be read (a pipe, a folder, another user's file) costs nothing
// more.
bool StoryCrc(CGameLibrary& library, const std::string& story, std::string& crc) {
  const FileCrc result = fileCRC(story);
  if (!result.ok) {
    library.setLastError("Could not load file: " + story);
    LogLine("load fail: %s", library.lastError.str());
    return false;
  }
  crc = crcText(result.crc);
  return true;
}

}  // namespace

bool identifyStory(const std::string& story, std::string& name) {
  CGameLibrary library;
  std::string crc;
  if (!StoryCrc(library, story, crc)) return false;
  library.loadFingerprints(nullptr, 0);
  const GamePtr game = findGame(library.catalogue, crc);
  if (!game) return false;
  name = game->FullName;
  return true;
}

GamePtr storyRecord(CGameLibrary& library, const std::string& story) {
  std::string crc;
  if (!StoryCrc(library, story, crc)) return GamePtr();
  library.loadFingerprints(nullptr, 0);
  if (const GamePtr game = findGame(library.catalogue, crc)) return game;
  // A file that changed since its CRC was taken gets a record under its
  // new CRC, which the lookup below does not find: nothing is tied to it.
  if (!library.addGameFile(story, true, FileStem(story))) return GamePtr();
  return findGame(library.catalogue, crc);
}
