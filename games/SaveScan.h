// SPDX-License-Identifier: GPL-3.0-or-later
// Saved games are tied to their story file by the tag "_%" + CRC text +
// "%_" that the host writes into the save's name, e.g.
// "mysave_%BF60EF9D%_.sav", and by the story's serial in the save's header.
#ifndef NARRO_GAMES_SAVE_SCAN_H_
#define NARRO_GAMES_SAVE_SCAN_H_

#include <string>

// The 8 characters of the last tag in name (a whole path will do); false
// when the last "_%" and the last "%_" do not enclose exactly 8 characters.
bool crcFromSaveName(const std::string& name, std::string& tag);

// What the list shows for a save of a game: the file's name without its
// folder, its extension and its tag, then ": " and the game's name.
std::string saveDisplayText(const std::string& path, const std::string& gameName);

#endif  // NARRO_GAMES_SAVE_SCAN_H_
