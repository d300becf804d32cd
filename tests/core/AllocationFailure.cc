// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/AllocationFailure.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> g_largestAllowed{SIZE_MAX};
}  // namespace

FailingLargeAllocations::FailingLargeAllocations(size_t largestAllowed) {
  g_largestAllowed = largestAllowed;
}

FailingLargeAllocations::~FailingLargeAllocations() { g_largestAllowed = SIZE_MAX; }

// The program's own allocation functions replace the standard library's.
void* operator new(size_t size) {
  if (size > g_largestAllowed) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
