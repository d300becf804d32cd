// SPDX-License-Identifier: GPL-3.0-or-later
// AddRef and Release for the speech objects: the object deletes itself when
// the count reaches 0, and both return the new count, as COM's do.
#ifndef NARRO_PLATFORM_SAPI_REF_COUNTED_H_
#define NARRO_PLATFORM_SAPI_REF_COUNTED_H_

#include <atomic>

#include "platform/sapi/Sapi.h"

namespace platform {

template <class Interface>
class RefCounted : public Interface {
 public:
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ~RefCounted() override = default;

 private:
  std::atomic<ULONG> m_references{1};
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_REF_COUNTED_H_
