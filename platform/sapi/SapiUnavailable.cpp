// A speech platform with no voices: every voice creation fails.
#include "platform/sapi/Sapi.h"

#include <cstdlib>

namespace platform {

HRESULT CoInitialize(void*) { return S_OK; }
void CoUninitialize() {}
void CoTaskMemFree(void* memory) { std::free(memory); }

HRESULT CreateSpVoice(ISpVoice** voice) {
  *voice = nullptr;
  return REGDB_E_CLASSNOTREG;
}

HRESULT CreateSpObjectToken(ISpObjectToken** token) {
  *token = nullptr;
  return REGDB_E_CLASSNOTREG;
}

HRESULT CreateSpObjectTokenCategory(ISpObjectTokenCategory** category) {
  *category = nullptr;
  return REGDB_E_CLASSNOTREG;
}

}  // namespace platform
