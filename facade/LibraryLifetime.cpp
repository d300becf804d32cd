// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LibraryLifetime.h"

#include "core/ExceptionGuard.h"
#include "core/Log.h"
#include "narro/Narro.h"
#include "platform/win/CommonControls.h"

namespace {
// Owns the facade made at load; ms_Singleton only finds it.
CNarro* s_facade = nullptr;
}  // namespace

void AttachLibrary() {
  OutputDebugLine("DBGVIEWCLEAR");
  NARRO_GUARDED("Init", [] {
    if (s_facade == nullptr) s_facade = new CNarro();
    LogLine("%1%", "ENTER DLL");
    platform::InitCommonControls();
  });
}

void DetachLibrary() {
  NARRO_GUARDED("Init", [] {
    LogLine("%1%", "EXIT DLL");
    if (s_facade != nullptr) {
      delete s_facade;
      s_facade = nullptr;
    }
  });
}
