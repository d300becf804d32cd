// SPDX-License-Identifier: GPL-3.0-or-later
// Signals the player acts on (a resize, a request to stop) turned into
// bytes on a pipe that the main loop polls with everything else.
#ifndef NARRO_PLAYER_PLAYER_SIGNALS_H_
#define NARRO_PLAYER_PLAYER_SIGNALS_H_

#include <vector>

namespace player {

// Catches SIGWINCH, SIGINT, SIGTERM, SIGHUP and SIGQUIT into the pipe and
// ignores SIGPIPE (a dead interpreter's pipe is an error to read, not an
// end of the player). Once per process.
void CatchSignals();
// The pipe's end to poll.
int SignalFd();
// The signals that came, oldest first.
std::vector<int> TakeSignals();

}  // namespace player

#endif  // NARRO_PLAYER_PLAYER_SIGNALS_H_
