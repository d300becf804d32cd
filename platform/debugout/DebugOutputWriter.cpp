// The writer half: what OutputDebugStringA does when no debugger is
// attached to the process.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/DebugOutputNames.h"
#include "platform/debugout/ListenerPresence.h"
#include "platform/debugout/SharedObjects.h"

namespace platform {

namespace {

constexpr int kBufferReadyWaitMs = 250;

// Semaphores outlive a crashed listener; only the listener's flock tells
// whether anybody still reads the buffer.
bool ListenerIsAlive(const std::string& lockName) {
  const int fd = shm_open(lockName.c_str(), O_RDONLY, 0);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_SH | LOCK_NB) == 0;
  close(fd);  // also drops the shared lock if we got it
  return !free;
}

class WritersTurn {
 public:
  WritersTurn(const std::string& name, const timespec& deadline)
      : m_mapping(SharedMapping::Open(name, sizeof(DebugWritersLock))) {
    if (!m_mapping.valid()) return;
    m_lock = static_cast<DebugWritersLock*>(m_mapping.data());
    const int rc = pthread_mutex_timedlock(&m_lock->mutex, &deadline);
    if (rc == EOWNERDEAD) pthread_mutex_consistent(&m_lock->mutex);
    m_held = rc == 0 || rc == EOWNERDEAD;
  }
  ~WritersTurn() {
    if (m_held) pthread_mutex_unlock(&m_lock->mutex);
  }
  bool held() const { return m_held; }

 private:
  SharedMapping m_mapping;
  DebugWritersLock* m_lock = nullptr;
  bool m_held = false;
};

}  // namespace

void OutputDebugString(const std::string& text) {
  if (!ListenerMayBeRunning()) return;
  const DebugOutputNames names = DebugOutputNames::ForThisUser();
  NamedSemaphore bufferReady = NamedSemaphore::Open(names.bufferReady);
  if (!bufferReady.valid() || !ListenerIsAlive(names.listenerLock)) return;

  const timespec deadline = DeadlineAfterMs(kBufferReadyWaitMs);
  WritersTurn turn(names.writersLock, deadline);
  if (!turn.held() || !bufferReady.WaitUntil(deadline)) return;

  SharedMapping buffer = SharedMapping::Open(names.buffer, kDebugBufferSize);
  NamedSemaphore dataReady = NamedSemaphore::Open(names.dataReady);
  if (!buffer.valid() || !dataReady.valid()) {
    bufferReady.Post();  // give the buffer back untouched
    return;
  }
  auto* bytes = static_cast<unsigned char*>(buffer.data());
  const uint32_t pid = static_cast<uint32_t>(getpid());
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(pid >> (8 * i));
  const size_t length = std::min(text.size(), kDebugTextCapacity - 1);
  std::memcpy(bytes + 4, text.data(), length);
  bytes[4 + length] = 0;
  dataReady.Post();
}

}  // namespace platform
