// SPDX-License-Identifier: GPL-3.0-or-later
// The map of a story kept between sessions, in the data folder: a small
// text file, UTF-8, versioned in its first line.
//
//   narro-map 1
//   room<TAB>NAME<TAB>FIRST SENTENCE<TAB>DIRECTIONS NAMED<TAB>ALIKE
//   exit<TAB>FROM<TAB>DIRECTION<TAB>room|blocked|death<TAB>TO
//   end<TAB>ROOMS
//
// Rooms are numbered in the order listed, from 0; exits follow them. The
// last line says how many rooms there were, so that a file cut short is
// seen to be. A file that is anything but this (damaged, a link, a FIFO,
// another user's, too large) is refused: read as no map and never written
// over, so that nothing the player had is lost unread.
#ifndef NARRO_PLAYER_MAP_FILE_H_
#define NARRO_PLAYER_MAP_FILE_H_

#include <cstddef>
#include <string>

#include "player/GameMap.h"

namespace player {

enum class MapFileState { kMissing, kRead, kRefused };

// The largest map file read: ten thousand rooms with long names and all
// their exits fit well within it.
constexpr size_t kMapFileLimit = 16u << 20;

// Reads the map at `path` into `map` (cleared first). kRefused with the
// reason in `what` ("is damaged (line 3)", "is not a regular file"): the
// map is then empty and the file must not be written.
MapFileState ReadMapFile(const std::string& path, GameMap& map, std::string& what);

// The map as the file's text.
std::string MapText(const GameMap& map);
// Parses the file's text into `map`; false, with the line at fault in
// `what`, when it is not a map.
bool ParseMap(const std::string& text, GameMap& map, std::string& what);

// Writes the map whole or not at all: a temporary file beside it, synced,
// renamed over it. The folder is made (mode 0700) when missing. Refuses a
// target that is not a regular file of this user. False, with why in
// `what`.
bool WriteMapFile(const std::string& path, const GameMap& map, std::string& what);

}  // namespace player

#endif  // NARRO_PLAYER_MAP_FILE_H_
