// SPDX-License-Identifier: GPL-3.0-or-later
// The save test's file name: the typed name, the game's checksum tag that
// the library's save scan ties saves to games by, then ".sav" unless the
// typed name already ended in it.
#ifndef NARRO_TESTHOST_SAVE_NAME_H_
#define NARRO_TESTHOST_SAVE_NAME_H_

#include <string>

// The fixed checksum tag of the test's imaginary game.
extern const char kSaveTestTag[];

std::string SaveTestFileName(const std::string& typed);

// The overwrite question for an existing file of that name.
std::string OverwriteQuestion(const std::string& fileName);

#endif  // NARRO_TESTHOST_SAVE_NAME_H_
