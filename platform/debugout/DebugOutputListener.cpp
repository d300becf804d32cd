// The listener half, for debug-output monitors.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/DebugOutputNames.h"
#include "platform/debugout/ListenerPresence.h"
#include "platform/debugout/SharedObjects.h"

namespace platform {

struct DebugOutputListener::Objects {
  DebugOutputNames names;
  int lockFd = -1;
  bool owned = false;  // true once this listener holds the lock
  SharedMapping writersLock;
  SharedMapping buffer;
  NamedSemaphore dataReady;
  NamedSemaphore bufferReady;
  std::unique_ptr<PresenceMark> presence;  // set once everything is made

  ~Objects() {
    presence.reset();
    if (owned) Unlink();
    if (lockFd >= 0) close(lockFd);
  }

  void Unlink() const {
    // Writers find no BUFFER_READY first, so they stop at once.
    sem_unlink(names.bufferReady.c_str());
    sem_unlink(names.dataReady.c_str());
    shm_unlink(names.buffer.c_str());
    shm_unlink(names.writersLock.c_str());
  }
};

namespace {

bool InitWritersLock(void* memory) {
  auto* lock = static_cast<DebugWritersLock*>(memory);
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  const bool ok = pthread_mutex_init(&lock->mutex, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
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

  objects->lockFd = shm_open(names.listenerLock.c_str(), O_RDWR | O_CREAT, 0600);
  if (objects->lockFd < 0) {
    *error = std::string("cannot open listener lock: ") + strerror(errno);
    return nullptr;
  }
  fchmod(objects->lockFd, 0600);
  if (!TakeListenerLock(objects->lockFd)) {
    *error = "already exists";
    return nullptr;
  }

  objects->owned = true;

  // BUFFER_READY is made last: writers look for it first.
  objects->writersLock =
      SharedMapping::Create(names.writersLock, sizeof(DebugWritersLock));
  objects->buffer = SharedMapping::Create(names.buffer, kDebugBufferSize);
  objects->dataReady = NamedSemaphore::Create(names.dataReady);
  objects->bufferReady = NamedSemaphore::Create(names.bufferReady);
  if (!objects->writersLock.valid() ||
      !InitWritersLock(objects->writersLock.data()) ||
      !objects->buffer.valid() || !objects->dataReady.valid() ||
      !objects->bufferReady.valid()) {
    *error = std::string("cannot create the debug-output objects: ") +
             strerror(errno);
    return nullptr;
  }
  objects->presence = std::make_unique<PresenceMark>(objects->lockFd);
  return std::unique_ptr<DebugOutputListener>(
      new DebugOutputListener(std::move(objects)));
}

DebugOutputListener::DebugOutputListener(std::unique_ptr<Objects> objects)
    : m_objects(std::move(objects)) {}

DebugOutputListener::~DebugOutputListener() = default;

bool DebugOutputListener::Receive(DebugMessage* message, int timeoutMs) {
  if (!m_bufferOffered) {
    m_objects->bufferReady.Post();
    m_bufferOffered = true;
  }
  if (!m_objects->dataReady.WaitUntil(DeadlineAfterMs(timeoutMs))) {
    return false;
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
