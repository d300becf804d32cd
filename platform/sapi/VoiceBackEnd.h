// SPDX-License-Identifier: GPL-3.0-or-later
// What speaks a voice's utterances: espeak-ng into an audio end (espeak/),
// or the player's speech-dispatcher (speechd/). The voice's queue
// (UtteranceQueue.h) keeps the order, the serials, purges and synchronous
// waits; a back end speaks the one utterance it is given, on the queue's
// worker thread, and gives it up when the queue is purged or stopped.
#ifndef NARRO_PLATFORM_SAPI_VOICE_BACK_END_H_
#define NARRO_PLATFORM_SAPI_VOICE_BACK_END_H_

#include <cstdint>
#include <string>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

class UtteranceQueue;

struct VoiceSettings {
  VoiceToken voice;
  long rate = 0;          // -10 .. 10
  uint16_t volume = 100;  // 0 .. 100
};

struct Utterance {
  uint64_t serial = 0;      // the stream number the caller was given
  uint64_t generation = 0;  // the queue's purges before it was asked for
  uint64_t logNumber = 0;   // its line in the speech log; 0: none
  std::wstring text;        // never empty
  uint32_t flags = 0;       // SAPI's, as the request gave them
  bool markup = false;      // SSML
  bool synchronous = false;  // the caller waits until it has been heard
  VoiceSettings settings;   // as they were when it was asked for
};

class VoiceBackEnd {
 public:
  virtual ~VoiceBackEnd() = default;

  // What SetVoice(token) speaks with, a null token being the default voice;
  // false for a token this back end cannot speak with. Any thread.
  virtual bool VoiceFor(ISpObjectToken* token, VoiceToken* voice) = 0;

  // On the worker, first. False when nothing can be spoken: the worker
  // then goes straight to Close.
  virtual bool Start(UtteranceQueue& queue) = 0;
  // On the worker: speaks the utterance and returns when it has been
  // spoken, or as soon as the queue no longer holds its generation current
  // (a purge, or the end of the voice).
  virtual void Speak(const Utterance& utterance) = 0;
  // On the worker, with nothing to speak: returns at the next Interrupt,
  // or earlier when the back end has something of its own to attend to.
  virtual void Idle() = 0;
  // On the worker, last.
  virtual void Close() = 0;

  // Any thread, with the queue's lock held, so it must not wait on
  // anything: work came, or a purge, or the end. Wakes Idle and, after a
  // purge or at the end, a Speak under way.
  virtual void Interrupt() = 0;
  // With the queue's lock held, for every speak request before its flags
  // are checked: its number in a log of requests, 0 when none is kept.
  virtual uint64_t LogRequest(const wchar_t* /*text*/, uint32_t /*flags*/,
                              const VoiceSettings& /*settings*/) {
    return 0;
  }
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_VOICE_BACK_END_H_
