// SPDX-License-Identifier: GPL-3.0-or-later
// The files around a story: where its games are saved, what the saves are
// called so that the library's saved-games list finds them, whether a
// fingerprint database knows the story, and the title its banner gives.
#ifndef NARRO_PLAYER_STORY_FILES_H_
#define NARRO_PLAYER_STORY_FILES_H_

#include <string>
#include <vector>

#include "player/Files.h"

namespace player {

// NAME_%CRC%_.sav: the marker between "_%" and "%_" is the story's CRC,
// which the saved-games list matches against the fingerprint databases.
std::string SaveFileName(const std::string& name, const std::string& crc);

// The file name without its extension.
std::string StemOf(const std::string& path);

// Where saves of a story go: the story's own folder when the player may
// write there, else `fallback` (made, mode 0700, when missing). Empty when
// neither can be written.
std::string ChooseSaveFolder(const std::string& story, const std::string& fallback);

// True when one of the database files lists a game with this fingerprint.
// Files that are missing, not regular or larger than 64 MiB are skipped.
bool FingerprintKnown(const std::string& crc, const std::vector<std::string>& databases);

// The title an Inform-style banner prints: the line two above the
// "Release N / Serial number" line, when it and the headline below it are
// both there. Empty when the banner gives none (dfrotz drops the bold
// title of many games and leaves a blank line), so output must keep its
// blank lines: the first turn as TakeTurn gives it with its paragraphs.
std::wstring TitleFromBanner(const std::wstring& output);

}  // namespace player

#endif  // NARRO_PLAYER_STORY_FILES_H_
