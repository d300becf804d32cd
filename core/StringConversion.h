// SPDX-License-Identifier: GPL-3.0-or-later
// The library's one narrow/wide rule: a byte becomes the wide character of
// the same code, and a wide character above 255 narrows to the byte 0. The
// whole length is converted, embedded zeros included.
#ifndef NARRO_CORE_STRING_CONVERSION_H_
#define NARRO_CORE_STRING_CONVERSION_H_

#include <string>

std::wstring WidenBytes(const std::string& narrow);
std::string NarrowChars(const std::wstring& wide);

#endif  // NARRO_CORE_STRING_CONVERSION_H_
