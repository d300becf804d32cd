// SPDX-License-Identifier: GPL-3.0-or-later
// The listener half, for debug-output monitors.
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

// A writer holds the buffer for microseconds; one that has not handed it
// back after this long without holding the writers' lock has died.
constexpr int64_t kOfferAgainAfterNs = 250 * 1000000LL;

}  // namespace

struct DebugOutputListener::Objects {
  DebugOutputNames names;
  int lockFd = -1;
  SharedMapping buffer;
  SharedMapping controlMapping;
  DebugControl* control = nullptr;  // set once its contents are made
  std::unique_ptr<PresenceMark> presence;  // set once everything is made

  ~Objects() {
    presence.reset();
    // Writers that find the control object closed stop at once.
    if (control) __atomic_store_n(&control->ready, 0u, __ATOMIC_RELEASE);
    // Only names whose object this listener made: one that Start refused
    // stays for the user to look at.
    if (buffer.valid()) shm_unlink(names.buffer.c_str());
    if (controlMapping.valid()) shm_unlink(names.control.c_str());
    if (lockFd >= 0) close(lockFd);
  }
};

namespace {

bool InitControl(DebugControl* control) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  const bool ok = pthread_mutex_init(&control->writersLock, &attr) == 0 &&
                  sem_init(&control->bufferReady, 1, 0) == 0 &&
                  sem_init(&control->dataReady, 1, 0) == 0;
  pthread_mutexattr_destroy(&attr);
  if (ok) __atomic_store_n(&control->ready, kDebugControlReady, __ATOMIC_RELEASE);
  return ok;
}

// Writers that found the word of a crashed listener hold a shared lock for
// a moment while they check; only a lock held for longer means a listener.
bool TakeListenerLock(int fd) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK) return false;
    usleep(5000);
  }
  return false;
}

}  // namespace

std::unique_ptr<DebugOutputListener> DebugOutputListener::Start(
    std::string* error) {
  auto objects = std::make_unique<Objects>();
  objects->names = DebugOutputNames::ForThisUser();
  const DebugOutputNames& names = objects->names;

  ObjectState state;
  objects->lockFd = OpenOwnObject(names.listenerLock, O_RDWR, true, &state, error);
  if (objects->lockFd < 0) {
    if (state == ObjectState::kMissing) {
      *error = "cannot open listener lock " + names.listenerLock + ": " + strerror(errno);
    }
    return nullptr;
  }
  if (!TakeListenerLock(objects->lockFd)) {
    *error = "already exists";
    return nullptr;
  }

  // The control object is made last and marked ready last: writers look at
  // it before the buffer.
  objects->buffer = SharedMapping::Create(names.buffer, kDebugBufferSize, error);
  if (!objects->buffer.valid()) return nullptr;
  objects->controlMapping = SharedMapping::Create(names.control, sizeof(DebugControl), error);
  if (!objects->controlMapping.valid()) return nullptr;
  auto* control = static_cast<DebugControl*>(objects->controlMapping.data());
  if (!InitControl(control)) {
    *error = std::string("cannot make the debug-output events: ") + strerror(errno);
    return nullptr;
  }
  objects->control = control;
  objects->presence = std::make_unique<PresenceMark>(objects->lockFd);
  return std::unique_ptr<DebugOutputListener>(
      new DebugOutputListener(std::move(objects)));
}

DebugOutputListener::DebugOutputListener(std::unique_ptr<Objects> objects)
    : m_objects(std::move(objects)) {}

DebugOutputListener::~DebugOutputListener() = default;

// Writers take BUFFER_READY and post DATA_READY only while they hold the
// writers' lock. Holding it ourselves, with neither event set while we
// offered the buffer, means the last writer took the buffer and died; a
// lock owned by a dead writer (EOWNERDEAD) is the usual sign of that. A
// writer that is alive but stopped keeps the lock, and we leave it be.
void DebugOutputListener::OfferAgainIfLost() {
  DebugControl* control = m_objects->control;
  const int rc = pthread_mutex_trylock(&control->writersLock);
  if (rc == EOWNERDEAD) {
    pthread_mutex_consistent(&control->writersLock);
  } else if (rc != 0) {
    return;
  }
  int bufferReady = 0;
  int dataReady = 0;
  sem_getvalue(&control->bufferReady, &bufferReady);
  sem_getvalue(&control->dataReady, &dataReady);
  if (bufferReady == 0 && dataReady == 0) sem_post(&control->bufferReady);
  pthread_mutex_unlock(&control->writersLock);
}

bool DebugOutputListener::Receive(DebugMessage* message, int timeoutMs) {
  DebugControl* control = m_objects->control;
  int64_t now = MonotonicNowNs();
  if (!m_bufferOffered) {
    sem_post(&control->bufferReady);
    m_bufferOffered = true;
    m_offeredAtNs = now;
  }
  const int64_t deadline = now + static_cast<int64_t>(std::max(timeoutMs, 0)) * 1000000;
  for (;;) {
    const int64_t wake = std::min(deadline, m_offeredAtNs + kOfferAgainAfterNs);
    if (WaitUntil(&control->dataReady, ToTimespec(wake))) break;
    now = MonotonicNowNs();
    if (now - m_offeredAtNs >= kOfferAgainAfterNs) {
      OfferAgainIfLost();
      m_offeredAtNs = now;
    }
    if (now >= deadline) return false;
  }
  m_bufferOffered = false;
  const auto* bytes = static_cast<const unsigned char*>(m_objects->buffer.data());
  message->pid = 0;
  for (int i = 0; i < 4; ++i) message->pid |= uint32_t{bytes[i]} << (8 * i);
  const char* text = reinterpret_cast<const char*>(bytes + 4);
  message->text.assign(text, strnlen(text, kDebugTextCapacity));
  return true;
}

}  // namespace platform
