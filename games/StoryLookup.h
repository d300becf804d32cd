// SPDX-License-Identifier: GPL-3.0-or-later
// A single story file looked up in the fingerprint databases, for a host
// that already knows which story it runs and so needs no folder scan.
#ifndef NARRO_GAMES_STORY_LOOKUP_H_
#define NARRO_GAMES_STORY_LOOKUP_H_

#include <string>

#include "games/Game.h"

class CGameLibrary;

// The FullName of the story in the databases as the games list loads them
// (the shipped one first, then the player's), matched by the file's CRC.
// False, name unchanged, when no database knows it or the file cannot be
// read.
bool identifyStory(const std::string& story, std::string& name);

// Loads the databases into library as the lists do and gives the story's
// record. A story no database knows gets a record made as addNewGame makes
// one (its serial read the same way), named after its file name, so that
// its saves are tied to it by the same rule. Null, with lastError set, when
// the story cannot be read.
GamePtr storyRecord(CGameLibrary& library, const std::string& story);

#endif  // NARRO_GAMES_STORY_LOOKUP_H_
