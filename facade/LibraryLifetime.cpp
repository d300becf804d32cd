// SPDX-License-Identifier: GPL-3.0-or-later
#include "facade/LibraryLifetime.h"

#include <optional>

#include "core/ExceptionGuard.h"
#include "core/Log.h"
#include "facade/FacadeDialogHost.h"
#include "narro/Narro.h"
#include "platform/win/CommonControls.h"

namespace {
// Owns the facade made at load; ms_Singleton only finds it.
CNarro* s_facade = nullptr;
// The lists and dialogs reach the facade through its host, in place from
// load to unload.
std::optional<CScopedDialogHost> s_host;
}  // namespace

void AttachLibrary() {
  OutputDebugLine("DBGVIEWCLEAR");
  NARRO_GUARDED("Init", [] {
    if (s_facade == nullptr) s_facade = new CNarro();
    if (!s_host) s_host.emplace(&FacadeDialogHost());
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
    s_host.reset();
  });
}
