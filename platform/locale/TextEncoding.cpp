// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale/TextEncoding.h"

#include <climits>
#include <cwchar>

namespace platform {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

int Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The length of the valid sequence at bytes[i], with its code; 0 when the
// byte there begins none (overlong forms, surrogates and codes above
// U+10FFFF are not valid).
int ValidUtf8Sequence(const std::string& bytes, size_t i, unsigned long& code) {
  const unsigned char lead = static_cast<unsigned char>(bytes[i]);
  const int length = Utf8SequenceLength(lead);
  if (length == 1) {
    code = lead;
    return 1;
  }
  if (length == 0 || i + length > bytes.size()) return 0;
  code = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::wstring WideFromBytes(const std::string& bytes) {
  std::wstring wide;
  wide.reserve(bytes.size() + 1);
  for (const char c : bytes) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  return wide;
}

std::string BytesFromWide(const std::wstring& text) {
  std::string bytes;
  bytes.reserve(text.size() + 1);
  for (const wchar_t c : text) {
    const bool oneByte = c >= 0 && c <= 255;
    bytes.push_back(oneByte ? static_cast<char>(c) : '\0');
  }
  return bytes;
}

std::wstring WideFromLocale(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  std::mbstate_t state{};
  size_t i = 0;
  while (i < text.size()) {
    wchar_t c = 0;
    const size_t n = std::mbrtowc(&c, text.data() + i, text.size() - i, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
      wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
      state = std::mbstate_t{};
      ++i;
    } else if (n == 0) {  // an embedded zero byte
      wide.push_back(L'\0');
      ++i;
    } else {
      wide.push_back(c);
      i += n;
    }
  }
  return wide;
}

std::string LocaleFromWide(const std::wstring& text) {
  std::string narrow;
  narrow.reserve(text.size());
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  for (const wchar_t c : text) {
    const size_t n = std::wcrtomb(buffer, c, &state);
    if (n == static_cast<size_t>(-1)) {
      narrow.push_back('?');
      state = std::mbstate_t{};
    } else {
      narrow.append(buffer, n);
    }
  }
  return narrow;
}

std::wstring WideFromUtf8(const std::string& bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    unsigned long code = 0;
    const int length = ValidUtf8Sequence(bytes, i, code);
    text += length == 0 ? kReplacement : static_cast<wchar_t>(code);
    i += length == 0 ? 1 : length;
  }
  return text;
}

bool IsUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    unsigned long code = 0;
    const int length = ValidUtf8Sequence(bytes, i, code);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string Utf8FromWide(wchar_t ch) {
  unsigned long code = static_cast<unsigned long>(ch);
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = kReplacement;
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::string Utf8FromWide(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t ch : text) out += Utf8FromWide(ch);
  return out;
}

}  // namespace platform
