// SPDX-License-Identifier: GPL-3.0-or-later
// The writer half: what OutputDebugStringA does when no debugger is
// attached to the process.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/DebugOutputNames.h"
#include "platform/debugout/ListenerPresence.h"
#include "platform/debugout/SharedObjects.h"

namespace platform {

namespace {

constexpr int kBufferReadyWaitMs = 250;
// After a wait timed out the listener is stopped or stalled: every spoken
// word is logged first, so waiting again on each line would slow speech.
constexpr int64_t kSkipAfterTimeOutNs = 1000000000;

// Process-wide: all threads of the host give up on a stalled listener
// together. The generation ties the skipping to that one listener.
std::atomic<int64_t> g_skipUntilNs{0};
std::atomic<uint32_t> g_skipGeneration{0};

bool Skipping(uint32_t generation) {
  const int64_t until = g_skipUntilNs.load(std::memory_order_relaxed);
  return until != 0 && generation == g_skipGeneration.load(std::memory_order_relaxed) &&
         MonotonicNowNs() < until;
}

void StartSkipping(uint32_t generation) {
  g_skipGeneration.store(generation, std::memory_order_relaxed);
  g_skipUntilNs.store(MonotonicNowNs() + kSkipAfterTimeOutNs, std::memory_order_relaxed);
}

// The presence word outlives a crashed listener; only the listener's flock
// tells whether anybody still reads the buffer. kSent here means "go on".
DebugWriteResult CheckListenerAlive(const std::string& lockName) {
  ObjectState state;
  const int fd = OpenOwnObject(lockName, O_RDONLY, false, &state, nullptr);
  if (fd < 0) {
    return state == ObjectState::kRefused ? DebugWriteResult::kRefused
                                          : DebugWriteResult::kNoListener;
  }
  const bool free = flock(fd, LOCK_SH | LOCK_NB) == 0;
  close(fd);  // also drops the shared lock if we got it
  return free ? DebugWriteResult::kNoListener : DebugWriteResult::kSent;
}

DebugWriteResult Missing(ObjectState state) {
  return state == ObjectState::kRefused ? DebugWriteResult::kRefused
                                        : DebugWriteResult::kNoListener;
}

class WritersTurn {
 public:
  WritersTurn(pthread_mutex_t* mutex, const timespec& deadline) : m_mutex(mutex) {
    const int rc = LockUntil(mutex, deadline);
    // The last holder died during its turn; the listener offers the buffer
    // again if that writer took it with it.
    if (rc == EOWNERDEAD) pthread_mutex_consistent(mutex);
    m_held = rc == 0 || rc == EOWNERDEAD;
  }
  ~WritersTurn() {
    if (m_held) pthread_mutex_unlock(m_mutex);
  }
  bool held() const { return m_held; }

 private:
  pthread_mutex_t* m_mutex;
  bool m_held = false;
};

}  // namespace

DebugWriteResult WriteDebugOutput(const std::string& text) {
  uint32_t generation = 0;
  if (!ListenerMayBeRunning(&generation)) return DebugWriteResult::kNoListener;
  if (Skipping(generation)) return DebugWriteResult::kSkipped;

  const DebugOutputNames names = DebugOutputNames::ForThisUser();
  const DebugWriteResult alive = CheckListenerAlive(names.listenerLock);
  if (alive != DebugWriteResult::kSent) return alive;

  // Both objects are opened and checked before the turn is taken, so that
  // a refused object never costs the listener its buffer.
  ObjectState state;
  SharedMapping controlMapping =
      SharedMapping::Open(names.control, sizeof(DebugControl), &state, nullptr);
  if (!controlMapping.valid()) return Missing(state);
  auto* control = static_cast<DebugControl*>(controlMapping.data());
  if (__atomic_load_n(&control->ready, __ATOMIC_ACQUIRE) != kDebugControlReady) {
    return DebugWriteResult::kNoListener;
  }
  SharedMapping buffer = SharedMapping::Open(names.buffer, kDebugBufferSize, &state, nullptr);
  if (!buffer.valid()) return Missing(state);

  // Like a C string: the text ends at its first zero byte.
  const size_t length = strnlen(text.data(), text.size());
  const uint32_t pid = static_cast<uint32_t>(getpid());
  auto* bytes = static_cast<unsigned char*>(buffer.data());

  timespec deadline = MonotonicDeadlineAfterMs(kBufferReadyWaitMs);
  WritersTurn turn(&control->writersLock, deadline);
  if (!turn.held()) {
    StartSkipping(generation);
    return DebugWriteResult::kTimedOut;
  }
  // A long line goes in pieces, all within one turn so that no other
  // writer's text comes between them. The first piece shares its 250 ms
  // with the wait for the turn; each later one has its own.
  size_t offset = 0;
  do {
    const size_t piece = std::min(length - offset, kDebugTextCapacity - 1);
    if (offset > 0) deadline = MonotonicDeadlineAfterMs(kBufferReadyWaitMs);
    if (!WaitUntil(&control->bufferReady, deadline)) {
      StartSkipping(generation);
      return DebugWriteResult::kTimedOut;
    }
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(pid >> (8 * i));
    std::memcpy(bytes + 4, text.data() + offset, piece);
    bytes[4 + piece] = 0;
    sem_post(&control->dataReady);
    offset += piece;
  } while (offset < length);
  return DebugWriteResult::kSent;
}

void OutputDebugString(const std::string& text) { WriteDebugOutput(text); }

}  // namespace platform
