// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/debugout/SharedObjects.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace platform {

namespace {

constexpr mode_t kOwnerOnly = 0600;

std::string Octal(mode_t mode) {
  char text[16];
  std::snprintf(text, sizeof text, "0%o", static_cast<unsigned>(mode));
  return text;
}

ObjectState Refuse(const std::string& name, const std::string& why,
                   std::string* error) {
  if (error) {
    *error = "debug-output object " + name + " (/dev/shm" + name + ") " + why +
             "; refusing it";
  }
  return ObjectState::kRefused;
}

void* MapFd(int fd, size_t size) {
  void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return data == MAP_FAILED ? nullptr : data;
}

}  // namespace

ObjectState CheckOwnObject(int fd, const std::string& name, off_t size,
                           std::string* error) {
  struct stat st;
  if (fstat(fd, &st) != 0) {
    return Refuse(name, std::string("cannot be checked: ") + strerror(errno), error);
  }
  // The owner first: another user's object gets the same answer whatever
  // kind of file it is.
  if (st.st_uid != geteuid()) {
    return Refuse(name,
                  "belongs to uid " + std::to_string(st.st_uid) +
                      ", not to this user (uid " + std::to_string(geteuid()) + ")",
                  error);
  }
  if (!S_ISREG(st.st_mode)) return Refuse(name, "is not a regular file", error);
  const mode_t mode = st.st_mode & 07777;
  if (mode != kOwnerOnly) {
    return Refuse(name, "has mode " + Octal(mode) + ", not 0600", error);
  }
  if (size >= 0 && st.st_size != size) {
    return Refuse(name,
                  "is " + std::to_string(st.st_size) + " bytes, not " +
                      std::to_string(size),
                  error);
  }
  return ObjectState::kOk;
}

int OpenOwnObject(const std::string& name, int flags, bool create,
                  ObjectState* state, std::string* error) {
  // O_NONBLOCK: a FIFO planted under our name would block the open itself,
  // before the check could refuse it. Regular files ignore the flag.
  flags |= O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = -1;
  if (create) {
    fd = shm_open(name.c_str(), flags | O_CREAT | O_EXCL, kOwnerOnly);
    // Made by us: only the umask can be wrong, and nobody else has it yet.
    if (fd >= 0) fchmod(fd, kOwnerOnly);
  }
  if (fd < 0) fd = shm_open(name.c_str(), flags, 0);
  if (fd < 0) {
    if (errno == ENOENT) {
      *state = ObjectState::kMissing;
      if (error) *error = "debug-output object " + name + " does not exist";
    } else {
      *state = Refuse(name, std::string("cannot be opened: ") + strerror(errno), error);
    }
    return -1;
  }
  *state = CheckOwnObject(fd, name, -1, error);
  if (*state != ObjectState::kOk) {
    close(fd);
    return -1;
  }
  return fd;
}

SharedMapping SharedMapping::Open(const std::string& name, size_t size,
                                  ObjectState* state, std::string* error) {
  const int fd = OpenOwnObject(name, O_RDWR, false, state, error);
  if (fd < 0) return SharedMapping();
  void* data = nullptr;
  *state = CheckOwnObject(fd, name, static_cast<off_t>(size), error);
  if (*state == ObjectState::kOk) {
    data = MapFd(fd, size);
    if (!data) *state = Refuse(name, std::string("cannot be mapped: ") + strerror(errno), error);
  }
  close(fd);
  return data ? SharedMapping(data, size) : SharedMapping();
}

SharedMapping SharedMapping::Create(const std::string& name, size_t size,
                                    std::string* error) {
  const int old = shm_open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0);
  if (old >= 0) {
    const ObjectState state = CheckOwnObject(old, name, -1, error);
    close(old);
    if (state != ObjectState::kOk) return SharedMapping();
    shm_unlink(name.c_str());  // ours, left by a listener that crashed
  }
  // O_EXCL: if somebody made the name again since, we refuse theirs.
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          kOwnerOnly);
  if (fd < 0) {
    Refuse(name, std::string("cannot be made: ") + strerror(errno), error);
    return SharedMapping();
  }
  void* data = nullptr;
  if (fchmod(fd, kOwnerOnly) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
    Refuse(name, std::string("cannot be made: ") + strerror(errno), error);
  } else if (CheckOwnObject(fd, name, static_cast<off_t>(size), error) == ObjectState::kOk) {
    data = MapFd(fd, size);
    if (!data) Refuse(name, std::string("cannot be mapped: ") + strerror(errno), error);
  }
  close(fd);
  return data ? SharedMapping(data, size) : SharedMapping();
}

SharedMapping::SharedMapping(SharedMapping&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)) {}

SharedMapping& SharedMapping::operator=(SharedMapping&& other) noexcept {
  std::swap(m_data, other.m_data);
  std::swap(m_size, other.m_size);
  return *this;
}

SharedMapping::~SharedMapping() {
  if (m_data) munmap(m_data, m_size);
}

int64_t MonotonicNowNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

timespec ToTimespec(int64_t ns) {
  timespec t;
  t.tv_sec = static_cast<time_t>(ns / 1000000000);
  t.tv_nsec = static_cast<long>(ns % 1000000000);
  return t;
}

timespec MonotonicDeadlineAfterMs(int ms) {
  return ToTimespec(MonotonicNowNs() + static_cast<int64_t>(ms) * 1000000);
}

bool WaitUntil(sem_t* sem, const timespec& deadline) {
  while (sem_clockwait(sem, CLOCK_MONOTONIC, &deadline) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

int LockUntil(pthread_mutex_t* mutex, const timespec& deadline) {
  return pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &deadline);
}

}  // namespace platform
