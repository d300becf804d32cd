// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SpeechdConnection.h"

#include <signal.h>


#include "platform/Immortal.h"
#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"

namespace platform {

SpeechdLimits& SpeechdLimits::Real() { return Immortal<SpeechdLimits>(); }

void LogSpeechLine(const std::string& line) {
  OutputDebugString(line);
  WriteLogMirror(line);
}

void BlockBrokenPipeSignal() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

std::unique_ptr<SsipChannel> OpenSpeechdChannel(const char* connectionName, bool notifications,
                                                SsipClock::time_point deadline, long limitMs,
                                                std::string* error) {
  std::unique_ptr<SsipChannel> channel =
      SsipChannel::Open(connectionName, deadline, limitMs, error);
  if (!channel || !notifications) return channel;
  for (const char* kind : {"BEGIN", "END", "CANCEL"}) {
    SsipReply reply;
    if (channel->Command(std::string("SET SELF NOTIFICATION ") + kind + " on", deadline, &reply) !=
            SsipChannel::Result::kOk ||
        reply.code / 100 != 2) {
      if (error) {
        *error = SsipClock::now() >= deadline
                     ? "no answer within " + std::to_string(limitMs) + " ms"
                     : "the server refused notifications";
      }
      return nullptr;
    }
  }
  return channel;
}

}  // namespace platform
