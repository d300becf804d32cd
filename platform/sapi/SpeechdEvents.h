// SPDX-License-Identifier: GPL-3.0-or-later
// speech-dispatcher's begin, end and cancel notifications. libspeechd hands
// them to plain functions on its reading thread, naming only the message
// and the client, so each connection's listener is found by client id.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_EVENTS_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_EVENTS_H_

#include <libspeechd.h>

#include <memory>

namespace platform {

class SpeechdListener {
 public:
  virtual ~SpeechdListener() = default;
  // On libspeechd's thread: must neither block long nor call libspeechd.
  virtual void OnSpeechdEvent(int message, SPDNotificationType type) = 0;
};

// Asks the server for the notifications and routes them to listener until
// StopListening. False when the server refused them.
bool ListenToSpeechd(SPDConnection* connection,
                     const std::shared_ptr<SpeechdListener>& listener,
                     int* clientId);
void StopListening(int clientId);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_EVENTS_H_
