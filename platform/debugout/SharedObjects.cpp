#include "platform/debugout/SharedObjects.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace platform {

namespace {
constexpr mode_t kOwnerOnly = 0600;
}

NamedSemaphore NamedSemaphore::Open(const std::string& name) {
  return NamedSemaphore(sem_open(name.c_str(), 0));
}

NamedSemaphore NamedSemaphore::Create(const std::string& name) {
  sem_unlink(name.c_str());
  return NamedSemaphore(
      sem_open(name.c_str(), O_CREAT | O_EXCL, kOwnerOnly, 0));
}

NamedSemaphore::NamedSemaphore(NamedSemaphore&& other) noexcept
    : m_sem(std::exchange(other.m_sem, SEM_FAILED)) {}

NamedSemaphore& NamedSemaphore::operator=(NamedSemaphore&& other) noexcept {
  std::swap(m_sem, other.m_sem);
  return *this;
}

NamedSemaphore::~NamedSemaphore() {
  if (valid()) sem_close(m_sem);
}

bool NamedSemaphore::WaitUntil(const timespec& deadline) {
  while (sem_timedwait(m_sem, &deadline) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

void NamedSemaphore::Post() { sem_post(m_sem); }

SharedMapping SharedMapping::Open(const std::string& name, size_t size) {
  const int fd = shm_open(name.c_str(), O_RDWR, 0);
  if (fd < 0) return SharedMapping();
  struct stat st;
  void* data = MAP_FAILED;
  if (fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) >= size) {
    data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  close(fd);
  return data == MAP_FAILED ? SharedMapping() : SharedMapping(data, size);
}

SharedMapping SharedMapping::Create(const std::string& name, size_t size) {
  shm_unlink(name.c_str());
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, kOwnerOnly);
  if (fd < 0) return SharedMapping();
  void* data = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
    data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  close(fd);
  return data == MAP_FAILED ? SharedMapping() : SharedMapping(data, size);
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

timespec DeadlineAfterMs(int ms) {
  timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  t.tv_sec += ms / 1000;
  t.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
  if (t.tv_nsec >= 1000000000L) {
    t.tv_sec += 1;
    t.tv_nsec -= 1000000000L;
  }
  return t;
}

}  // namespace platform
