// SPDX-License-Identifier: GPL-3.0-or-later
// Platform strings handed to callers, freed with CoTaskMemFree.
#ifndef NARRO_PLATFORM_SAPI_COM_RUNTIME_H_
#define NARRO_PLATFORM_SAPI_COM_RUNTIME_H_

#include <string>

namespace platform {

// A copy the caller owns; null when memory is short.
wchar_t* CoTaskMemDuplicate(const std::wstring& text);

// How many CoInitialize calls are not yet matched (for tests).
int ComInitializeCount();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_COM_RUNTIME_H_
