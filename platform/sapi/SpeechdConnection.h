// SPDX-License-Identifier: GPL-3.0-or-later
// Connections to speech-dispatcher, opened as every client opens them
// (spd_open2 with the default address, so SPEECHD_ADDRESS and autospawn
// work), but never waited for past a limit: a server that never answers, or
// an autospawn that takes its time, must not hold up a host.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_CONNECTION_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_CONNECTION_H_

#include <libspeechd.h>
#include <signal.h>

#include <chrono>
#include <string>

#include "platform/Seam.h"

namespace platform {

// How long speech-dispatcher is given. The seam (platform/Seam.h): the real
// limits are those below; a test puts shorter ones in place with a
// ScopedSpeechdLimits, made while no voice exists.
struct SpeechdLimits {
  static SpeechdLimits& Real();  // the defaults below

  // NARRO_SPEECH unset: past this the sound card speaks instead.
  std::chrono::milliseconds automaticOpen{200};
  // NARRO_SPEECH=speechd, and every reconnection: room for an autospawn.
  std::chrono::milliseconds explicitOpen{3000};
  // A command still unanswered after this counts as a lost connection.
  std::chrono::milliseconds reply{2000};
};

using ScopedSpeechdLimits = ScopedReplacement<SpeechdLimits>;

enum class SpeechdMode { kCommands, kNotifications };

// A new connection, or null with *error telling why. With kNotifications
// libspeechd reads the socket on a thread of its own, which inherits the
// calling thread's signal mask: SIGPIPE is blocked on every thread that
// talks to the server, so that a server gone away cannot end the host.
SPDConnection* OpenSpeechd(const char* connectionName, SpeechdMode mode,
                           std::chrono::milliseconds limit, std::string* error);

// One line to the debug output and NARRO_LOG, as the library's log lines go.
void LogSpeechLine(const std::string& line);

// Blocks SIGPIPE on the calling thread: writing to a closed socket then
// fails with EPIPE instead of killing the process.
void BlockBrokenPipeSignal();

// For a connection used on a host's thread: SIGPIPE blocked for as long as
// this lives, any that came meanwhile taken, and the host's mask put back.
class BrokenPipeGuard {
 public:
  BrokenPipeGuard();
  ~BrokenPipeGuard();
  BrokenPipeGuard(const BrokenPipeGuard&) = delete;
  BrokenPipeGuard& operator=(const BrokenPipeGuard&) = delete;

 private:
  sigset_t m_previous;
};

// A command connection whose replies are waited for at most `limit`: past
// it the read fails as if the server had gone.
void LimitReplyWait(SPDConnection* connection, std::chrono::milliseconds limit);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_CONNECTION_H_
