// SPDX-License-Identifier: GPL-3.0-or-later
// Every platform service has one seam, of one shape (after leveldb's Env):
//
//   - the service is an interface whose static Real() is the real thing;
//   - platform::Current<Service>() is the one in use: the real one, unless
//   - a platform::ScopedReplacement<Service> has put another in its place,
//     for as long as that object lives. When it goes out of scope it puts
//     back whatever was there before, so a test that fails half-way never
//     leaves its fake behind for the next one.
//
// Replacements nest. They are made and ended on one thread while nothing
// else uses the service (at the start and end of a test); a service that a
// worker thread reads looks its replacement up atomically all the same.
#ifndef NARRO_PLATFORM_SEAM_H_
#define NARRO_PLATFORM_SEAM_H_

#include <atomic>

namespace platform {

template <class Service>
struct SeamSlot {
  static inline std::atomic<Service*> replacement{nullptr};
};

template <class Service>
Service& Current() {
  Service* replacement = SeamSlot<Service>::replacement.load(std::memory_order_acquire);
  return replacement != nullptr ? *replacement : Service::Real();
}

// The caller keeps ownership of the replacement, which must outlive this.
template <class Service>
class ScopedReplacement {
 public:
  explicit ScopedReplacement(Service& replacement)
      : m_previous(SeamSlot<Service>::replacement.exchange(&replacement)) {}
  ~ScopedReplacement() { SeamSlot<Service>::replacement.store(m_previous); }
  ScopedReplacement(const ScopedReplacement&) = delete;
  ScopedReplacement& operator=(const ScopedReplacement&) = delete;

 private:
  Service* m_previous;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SEAM_H_
