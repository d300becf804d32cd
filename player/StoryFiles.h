// SPDX-License-Identifier: GPL-3.0-or-later
// What a story is called: its file name's stem, and the title its banner
// prints.
#ifndef NARRO_PLAYER_STORY_FILES_H_
#define NARRO_PLAYER_STORY_FILES_H_

#include <string>

#include "player/SmallFiles.h"

namespace player {

// The file name without its extension.
std::string StemOf(const std::string& path);

// The title a story's banner gives. `banner` is the game's first text, a
// paragraph a line, blank lines kept empty; the result is cut to
// kTitleLimit characters (ShortTitle), empty when the banner names nothing.
// - Where a line names the release or revision ("Release 1 / Serial number
//   261207 / ...", TADS' "Release 1.0"), the first line of its block (the
//   lines up to it without a blank one). Copyright and trademark lines are
//   never a title ("Copyright (c) 1981 Infocom, Inc. All rights
//   reserved."), so the line below them is taken. A release line that heads
//   its block takes the first line of the few credit lines above it.
// - Else, as Hugo and ADRIFT games begin, the banner's first line when it
//   is short, no sentence, and the next line names the author ("By J. J.
//   Guest", "An Adaptation of Adventure by ...").
std::wstring TitleFromBanner(const std::wstring& banner);

// The FullName the player's own fingerprint database gives the story whose
// CRC text is `crc`: `xml` is that file's text, as the library writes it
// (one empty supported_game element a game, its attributes quoted, entities
// for markup characters). False when no record there has that fingerprint.
bool StoredName(const std::string& xml, const std::string& crc, std::string& name);

// Whether a name the player's database holds for `story` is one the player
// stored itself for want of a title, and may be corrected when a title is
// found: the player's database holds no mark of who wrote a name, so only a
// name that is the story's file name stem is taken as the player's. A name
// the user chose otherwise, or one the shipped database gives, stays.
bool IsStandInName(const std::wstring& name, const std::string& story);

// A title fit to be a game's name, spoken and listed: at most kTitleLimit
// characters, cut between words. A banner line of 100 KB is no name.
constexpr size_t kTitleLimit = 100;
std::wstring ShortTitle(const std::wstring& title);

}  // namespace player

#endif  // NARRO_PLAYER_STORY_FILES_H_
