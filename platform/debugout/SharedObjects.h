// Small owners of POSIX named objects used by both halves of the protocol.
#ifndef NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_
#define NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_

#include <semaphore.h>
#include <time.h>

#include <cstddef>
#include <string>

namespace platform {

class NamedSemaphore {
 public:
  // Opens an existing semaphore; invalid when there is none.
  static NamedSemaphore Open(const std::string& name);
  // Makes a new one holding 0, replacing any old object of that name.
  static NamedSemaphore Create(const std::string& name);

  NamedSemaphore() = default;
  NamedSemaphore(NamedSemaphore&& other) noexcept;
  NamedSemaphore& operator=(NamedSemaphore&& other) noexcept;
  ~NamedSemaphore();

  bool valid() const { return m_sem != SEM_FAILED; }
  bool WaitUntil(const timespec& deadline);
  void Post();

 private:
  explicit NamedSemaphore(sem_t* sem) : m_sem(sem) {}
  sem_t* m_sem = SEM_FAILED;
};

class SharedMapping {
 public:
  // Maps an existing object read-write; invalid when it cannot.
  static SharedMapping Open(const std::string& name, size_t size);
  // Makes a new zeroed object of the given size, replacing any old one.
  static SharedMapping Create(const std::string& name, size_t size);

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

// The absolute CLOCK_REALTIME time ms milliseconds from now, as sem_timedwait
// and pthread_mutex_timedlock want it.
timespec DeadlineAfterMs(int ms);

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_SHARED_OBJECTS_H_
