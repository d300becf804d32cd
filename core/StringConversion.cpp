// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/StringConversion.h"

std::wstring WidenBytes(const std::string& narrow) {
  std::wstring wide;
  wide.reserve(narrow.size() + 1);
  for (const char c : narrow) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  return wide;
}

std::string NarrowChars(const std::wstring& wide) {
  std::string narrow;
  narrow.reserve(wide.size() + 1);
  for (const wchar_t c : wide) {
    const bool oneByte = c >= 0 && c <= 255;
    narrow.push_back(oneByte ? static_cast<char>(c) : '\0');
  }
  return narrow;
}
