// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's guard: no exception leaves a guarded operation. A
// CMyException is logged with its report; anything else becomes one with the
// description "unknown exception" and is logged with the system error text.
#ifndef NARRO_CORE_EXCEPTION_GUARD_H_
#define NARRO_CORE_EXCEPTION_GUARD_H_

#include <errno.h>

#include "core/Log.h"
#include "core/MyException.h"

template <typename Work>
void RunGuarded(const char* operation, int line, Work&& work) {
  try {
    work();
  } catch (const CMyException& e) {
    LogLine("%1%", e.what());
  } catch (...) {
    const int lastError = errno;
    const CMyException e(0, "unknown exception", operation, "Narro", line);
    errno = lastError;
    LogLine("%1%: %2%", e.what(), SystemErrorText());
  }
}

// The line of the handler is the line of the guarded call.
#define NARRO_GUARDED(operation, work) RunGuarded(operation, __LINE__, work)

#endif  // NARRO_CORE_EXCEPTION_GUARD_H_
