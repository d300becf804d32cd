// SPDX-License-Identifier: GPL-3.0-or-later
// COM's start and end have nothing to do on Linux; they are counted so that
// an unmatched call can be seen.
#include "platform/sapi/ComRuntime.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/sapi/Sapi.h"

namespace platform {

namespace {
std::atomic<int> g_initializeCount{0};
}

HRESULT CoInitialize(void*) {
  return g_initializeCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  if (g_initializeCount > 0) --g_initializeCount;
}

int ComInitializeCount() { return g_initializeCount; }

void CoTaskMemFree(void* memory) { std::free(memory); }

wchar_t* CoTaskMemDuplicate(const std::wstring& text) {
  auto* copy =
      static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy) std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return copy;
}

}  // namespace platform
