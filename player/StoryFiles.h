// SPDX-License-Identifier: GPL-3.0-or-later
// What a story is called: its file name's stem, and the title its banner
// prints.
#ifndef NARRO_PLAYER_STORY_FILES_H_
#define NARRO_PLAYER_STORY_FILES_H_

#include <string>

#include "player/Files.h"

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

// A title fit to be a game's name, spoken and listed: at most kTitleLimit
// characters, cut between words. A banner line of 100 KB is no name.
constexpr size_t kTitleLimit = 100;
std::wstring ShortTitle(const std::wstring& title);

}  // namespace player

#endif  // NARRO_PLAYER_STORY_FILES_H_
