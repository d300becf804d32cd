// SPDX-License-Identifier: GPL-3.0-or-later
// Reaching speech-dispatcher as every client does: at SPEECHD_ADDRESS
// (unix_socket:PATH or inet_socket:HOST:PORT), else at its socket under
// XDG_RUNTIME_DIR, as libspeechd's spd_get_default_address names it. When
// nobody listens on a Unix socket, the server is started as libspeechd
// starts it ("speech-dispatcher --spawn"), which it refuses when its
// configuration says DisableAutoSpawn or one already runs.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_ADDRESS_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_ADDRESS_H_

#include <chrono>
#include <string>

namespace platform {

// A connected, non-blocking socket, or -1 with *error. Nothing is waited
// for past deadline ("no answer within <limitMs> ms"). At most one start of
// the server is under way at a time: one that outlasts its caller's
// deadline is collected by a later call, never waited for again.
int ConnectToSpeechd(std::chrono::steady_clock::time_point deadline, long limitMs,
                     std::string* error);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_ADDRESS_H_
