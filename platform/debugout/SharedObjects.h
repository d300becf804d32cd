// SPDX-License-Identifier: GPL-3.0-or-later
// Small owners of the POSIX shared-memory objects of the debug-output
// channel, and the waits on what lives inside them.
//
// The objects sit in /dev/shm, where every user may create files. Another
// user who makes one of our names first, open to all or of the wrong size,
// could read every line we log or crash a writer with SIGBUS, so every open
// is followed by a check that the object is a regular file of this user,
// mode 0600, of the size we expect; anything else is refused. Every open is
// non-blocking, so that a FIFO in our name is refused at once instead of
// holding the open until somebody writes to it.
#ifndef NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_
#define NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_

#include <pthread.h>
#include <semaphore.h>
#include <sys/types.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class ObjectState { kOk, kMissing, kRefused };

// Checks an open object: regular, owned by this user, mode 0600 and, when
// size is not negative, exactly size bytes. On refusal *error names the
// object and says why.
ObjectState CheckOwnObject(int fd, const std::string& name, off_t size,
                           std::string* error);

// shm_open without following links, then CheckOwnObject (any size). With
// create, a missing object is made with mode 0600 whatever the umask. The
// descriptor is closed on refusal; -1 unless kOk.
int OpenOwnObject(const std::string& name, int flags, bool create,
                  ObjectState* state, std::string* error);

class SharedMapping {
 public:
  // Maps an existing object of exactly size bytes read-write.
  static SharedMapping Open(const std::string& name, size_t size,
                            ObjectState* state, std::string* error);
  // Makes a new zeroed object of the given size. An old object of that name
  // is removed only when it is this user's with mode 0600 (left by a
  // crashed listener); anything else is refused and left alone.
  static SharedMapping Create(const std::string& name, size_t size,
                              std::string* error);

  SharedMapping() = default;
  SharedMapping(SharedMapping&& other) noexcept;
  SharedMapping& operator=(SharedMapping&& other) noexcept;
  ~SharedMapping();

  bool valid() const { return m_data != nullptr; }
  void* data() const { return m_data; }

 private:
  SharedMapping(void* data, size_t size) : m_data(data), m_size(size) {}
  void* m_data = nullptr;
  size_t m_size = 0;
};

// Deadlines are on the monotonic clock: a wall clock set back by an hour
// must not turn a 250 ms wait into an hour.
int64_t MonotonicNowNs();
timespec MonotonicDeadlineAfterMs(int ms);
timespec ToTimespec(int64_t ns);

// False once the deadline passed (or on a real error).
bool WaitUntil(sem_t* sem, const timespec& deadline);
// pthread_mutex_clocklock's result: 0, EOWNERDEAD or an error such as
// ETIMEDOUT.
int LockUntil(pthread_mutex_t* mutex, const timespec& deadline);

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_
