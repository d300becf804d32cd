// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale/CodePage.h"

#include <climits>
#include <cwchar>

namespace platform {

std::wstring MultiByteToWide(const std::string& text) {
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

std::string WideToMultiByte(const std::wstring& text) {
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

}  // namespace platform
