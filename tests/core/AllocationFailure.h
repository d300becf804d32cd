// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the test program's allocations fail on demand, as they do when a
// machine runs out of memory: while a FailingLargeAllocations object lives,
// every operator new of more than the given size throws std::bad_alloc.
#ifndef NARRO_TESTS_CORE_ALLOCATION_FAILURE_H_
#define NARRO_TESTS_CORE_ALLOCATION_FAILURE_H_

#include <cstddef>

class FailingLargeAllocations {
 public:
  explicit FailingLargeAllocations(size_t largestAllowed);
  ~FailingLargeAllocations();
  FailingLargeAllocations(const FailingLargeAllocations&) = delete;
  FailingLargeAllocations& operator=(const FailingLargeAllocations&) = delete;
};

#endif  // NARRO_TESTS_CORE_ALLOCATION_FAILURE_H_
