// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in interpreters of the end-to-end tests: small Python scripts
// speaking the GlkOte protocol, each making the one fault (or the one
// kind of game) a test needs where a real interpreter and story cannot.
// Each function returns a whole script, for python3 to run.
#ifndef NARRO_TESTS_PLAYER_STAND_INS_H_
#define NARRO_TESTS_PLAYER_STAND_INS_H_

#include <string>

namespace stand_ins {

// Moves the player between two rooms the status line alone names: the
// Attic first, then the Cellar and the Attic in turn at every command.
std::string StatusLineRooms();

// Says its arguments, takes commands of at most 20 characters and says
// them back, has no status line, and ends the game itself at "quit".
std::string SaysWhatItWasGiven();

// Gives its reason on standard error and exits with status 3 before the
// game starts.
std::string RefusesTheStory();

// Starts a child that ignores SIGTERM and says its process id.
std::string StartsAChild();

// Exits with status 0 at the first command, the game still waiting.
std::string QuitsMidGame();

// Answers the first command with a line that is not JSON.
std::string WritesWhatIsNotJson();

// Game text, last words and a line that is not JSON, all holding
// sequences that would retitle, clear and colour the terminal.
std::string WritesEscapeSequences();

// Answers the start with an update of 100 MB.
std::string SendsAHugeUpdate();

// Answers the first command with 100 MB of an update that never ends.
std::string SendsAnEndlessLine();

// Never answers the first command.
std::string FallsSilent();

// Takes two seconds over the first command, then says each one back.
std::string SlowAtFirst();

// Sends an update every 50 ms, asked or not, reading nothing.
std::string TalksUnasked();

// Starts with twenty thousand paragraphs at once, then says each command
// back.
std::string FloodsAtStart();

// Starts with text that is not UTF-8, then says each command back.
std::string WritesLatin1();

// Starts with a word the word list keeps with its punctuation
// ("zounds!"), then says each command back.
std::string ShoutsAWord();

}  // namespace stand_ins

#endif  // NARRO_TESTS_PLAYER_STAND_INS_H_
