// SPDX-License-Identifier: GPL-3.0-or-later
// Splits a text into the maximal runs of characters that are not
// separators, in order. There are never empty pieces.
#ifndef NARRO_TEXT_TOKENIZE_H_
#define NARRO_TEXT_TOKENIZE_H_

#include <string>
#include <vector>

template <typename Char>
std::vector<std::basic_string<Char>> Tokenize(
    const std::basic_string<Char>& text,
    const std::basic_string<Char>& separators) {
  std::vector<std::basic_string<Char>> tokens;
  size_t start = text.find_first_not_of(separators);
  while (start != std::basic_string<Char>::npos) {
    const size_t end = text.find_first_of(separators, start);
    tokens.push_back(text.substr(start, end - start));
    if (end == std::basic_string<Char>::npos) break;
    start = text.find_first_not_of(separators, end);
  }
  return tokens;
}

inline std::vector<std::string> Tokenize(const std::string& text,
                                         const char* separators) {
  return Tokenize(text, std::string(separators));
}

inline std::vector<std::wstring> Tokenize(const std::wstring& text,
                                          const wchar_t* separators) {
  return Tokenize(text, std::wstring(separators));
}

#endif  // NARRO_TEXT_TOKENIZE_H_
