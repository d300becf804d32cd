// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale/Utf8.h"

#include <unicode/ustring.h>

#include <vector>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t c) {
  return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (const wchar_t wc : text) {
    char32_t c = static_cast<char32_t>(wc);
    if (!IsScalarValue(c)) c = kReplacement;
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | (c >> 18)));
      utf8.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

std::wstring FromUtf8(const std::string& text) {
  // ICU decodes and substitutes malformed sequences for us.
  std::vector<UChar32> codes(text.size() + 1);
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  std::vector<UChar> utf16(text.size() + 1);
  int32_t utf16Length = 0;
  u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()),
                       &utf16Length, text.data(), static_cast<int32_t>(text.size()),
                       kReplacement, nullptr, &status);
  if (U_FAILURE(status)) return std::wstring();
  status = U_ZERO_ERROR;
  u_strToUTF32(codes.data(), static_cast<int32_t>(codes.size()), &length,
               utf16.data(), utf16Length, &status);
  if (U_FAILURE(status)) return std::wstring();
  return std::wstring(codes.begin(), codes.begin() + length);
}

}  // namespace platform
