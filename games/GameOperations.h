// SPDX-License-Identifier: GPL-3.0-or-later
// What the library does with one story file at a host's request.
#ifndef NARRO_GAMES_GAME_OPERATIONS_H_
#define NARRO_GAMES_GAME_OPERATIONS_H_

#include <string>

// The file's CRC-32 as the fingerprint databases write it; false when the
// file cannot be read.
bool StoryCrcText(const std::string& file, std::string& crc);

// Adds the story to the user's fingerprint database under name (blanks at
// either end trimmed), keeping every record other callers add meanwhile.
// False when the story could not be read or the database not written: a
// database that exists but cannot be read is never replaced, and one that
// does not parse is kept aside first. Waits at most 10 s for another
// writer.
bool AddToUserDatabase(const std::string& file, const std::string& name);

// Opens the file with the desktop's program for verb (0 open, 1 edit,
// 2 print), else with the program that would open it. False when nothing
// could be started.
bool OpenWithShell(const char* file, int verb);

#endif  // NARRO_GAMES_GAME_OPERATIONS_H_
