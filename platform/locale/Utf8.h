// SPDX-License-Identifier: GPL-3.0-or-later
// Wide text as UTF-8, whatever the locale: for files read by other tools.
#ifndef NARRO_PLATFORM_LOCALE_UTF8_H_
#define NARRO_PLATFORM_LOCALE_UTF8_H_

#include <string>

namespace platform {

// Codes that are not Unicode scalar values become U+FFFD.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace platform

#endif  // NARRO_PLATFORM_LOCALE_UTF8_H_
