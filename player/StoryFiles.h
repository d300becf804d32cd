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

// The title a story's banner gives: the first line of the banner block,
// the lines that end with the one naming the release or revision and
// serial number ("Release 1 / Serial number 261207 / ..."). Copyright and
// trademark lines are never a title ("Copyright (c) 1981 Infocom, Inc. All
// rights reserved."), so the line above them is taken. `banner` is the
// game's first text, a paragraph a line, blank lines kept empty. Empty when
// no such block is there. Cut to kTitleLimit characters (ShortTitle).
std::wstring TitleFromBanner(const std::wstring& banner);

// A title fit to be a game's name, spoken and listed: at most kTitleLimit
// characters, cut between words. A banner line of 100 KB is no name.
constexpr size_t kTitleLimit = 100;
std::wstring ShortTitle(const std::wstring& title);

}  // namespace player

#endif  // NARRO_PLAYER_STORY_FILES_H_
