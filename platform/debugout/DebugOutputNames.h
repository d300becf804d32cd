// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the per-user objects of the debug-output protocol, and the layout
// of the control object.
#ifndef NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_
#define NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_

#include <pthread.h>
#include <semaphore.h>

#include <cstdint>
#include <string>

namespace platform {

struct DebugOutputNames {
  std::string buffer;
  std::string control;
  std::string listenerLock;

  // The user's channel. NARRO_DEBUG_CHANNEL, when set to a name of letters,
  // digits, "-" and "_" (at most 32), gives a channel of that name instead,
  // apart from the usual one: the tests of the channel use one of their own,
  // so that other programs' lines never reach their listener.
  static DebugOutputNames ForThisUser();
};

// The two events and the writers' lock live in one shared-memory object,
// which is checked like the buffer after every open. Named semaphores would
// be files in /dev/shm that sem_open cannot check before use.
struct DebugControl {
  // kDebugControlReady once the listener has made the rest; a writer that
  // finds anything else treats the channel as closed.
  uint32_t ready;
  // Robust and process-shared: a writer that dies holding it does not
  // block the others.
  pthread_mutex_t writersLock;
  // Auto-reset events as process-shared counting semaphores that never go
  // above 1.
  sem_t bufferReady;  // posted by the listener when the buffer is free
  sem_t dataReady;    // posted by a writer after it filled the buffer
};

constexpr uint32_t kDebugControlReady = 0x4e415252;

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_
