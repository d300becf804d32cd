// SPDX-License-Identifier: GPL-3.0-or-later
// Connections to speech-dispatcher, opened as every client opens them
// (the default address, so SPEECHD_ADDRESS and autospawn work), but never
// waited for past a limit: a server that never answers, or an autospawn
// that takes its time, must not hold up a host.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_CONNECTION_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_CONNECTION_H_

#include <signal.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/Seam.h"
#include "platform/sapi/speechd/SsipChannel.h"

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
  // A command whose whole reply has not come after this counts as a lost
  // connection.
  std::chrono::milliseconds reply{2000};
  // The voice list, every module's, read whole within this: the one long
  // reply (espeak-ng's 13,000 voices take a loaded server about 2 s).
  std::chrono::milliseconds voiceList{10000};
  // An utterance the server took but never reports the end of (a server
  // gone wrong) is given this long, and this much more for each
  // character, then cancelled: no wait for speech lasts for ever. Speech
  // at the slowest rate takes about 150 ms a character.
  std::chrono::milliseconds speakingBase{30000};
  std::chrono::milliseconds speakingPerCharacter{300};
};

using ScopedSpeechdLimits = ScopedReplacement<SpeechdLimits>;

// A new connection, or null with *error telling why, all within deadline
// (limitMs is the limit the deadline came from, for the message). With
// notifications the server reports the begin, end and cancel of each
// message.
std::unique_ptr<SsipChannel> OpenSpeechdChannel(const char* connectionName, bool notifications,
                                                SsipClock::time_point deadline, long limitMs,
                                                std::string* error);

// One line to the debug output and NARRO_LOG, as the library's log lines go.
void LogSpeechLine(const std::string& line);

// Blocks SIGPIPE on the calling thread: writing to a closed socket then
// fails with EPIPE instead of killing the process.
void BlockBrokenPipeSignal();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_CONNECTION_H_
