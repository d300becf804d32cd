// Names of the per-user objects of the debug-output protocol.
#ifndef NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_
#define NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_

#include <pthread.h>

#include <string>

namespace platform {

struct DebugOutputNames {
  std::string buffer;
  std::string bufferReady;
  std::string dataReady;
  std::string writersLock;
  std::string listenerLock;

  static DebugOutputNames ForThisUser();
};

// Layout of the writers' lock object.
struct DebugWritersLock {
  pthread_mutex_t mutex;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_NAMES_H_
