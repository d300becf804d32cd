// SPDX-License-Identifier: GPL-3.0-or-later
// The thread's "ANSI code page": the multibyte encoding of the locale in
// force (LC_CTYPE), as MultiByteToWideChar and WideCharToMultiByte use it.
#ifndef NARRO_PLATFORM_LOCALE_CODE_PAGE_H_
#define NARRO_PLATFORM_LOCALE_CODE_PAGE_H_

#include <string>

namespace platform {

// Bytes that do not decode keep their own code as a wide character. The
// whole length is converted.
std::wstring MultiByteToWide(const std::string& text);

// Characters the encoding cannot hold become '?'.
std::string WideToMultiByte(const std::wstring& text);

}  // namespace platform

#endif  // NARRO_PLATFORM_LOCALE_CODE_PAGE_H_
