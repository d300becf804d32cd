// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CleanText.h"

namespace player {

namespace {

constexpr wchar_t kEscape = 0x1B;
constexpr size_t kUnfinished = std::wstring::npos;

bool Within(wchar_t ch, wchar_t low, wchar_t high) { return ch >= low && ch <= high; }

// Where the escape sequence that begins at text[start] ends (the index after
// it), or kUnfinished when the text ends inside it. A sequence broken by a
// character it cannot hold ends before that character, so a line feed in a
// broken sequence is still a line feed.
size_t EscapeEnd(const std::wstring& text, size_t start) {
  size_t i = start + 1;
  bool control = text[start] == 0x9B;  // the one-character CSI
  bool string = text[start] == 0x9D;   // the one-character OSC
  if (text[start] == kEscape) {
    if (i >= text.size()) return kUnfinished;
    const wchar_t second = text[i++];
    if (second == L'[') {
      control = true;
    } else if (second == L']' || second == L'P' || second == L'_' || second == L'^') {
      string = true;
    } else if (second == L'O') {
      if (i >= text.size()) return kUnfinished;
      return Within(text[i], 0x20, 0x7E) ? i + 1 : i;
    } else if (Within(second, 0x20, 0x2F)) {
      while (i < text.size() && Within(text[i], 0x20, 0x2F)) ++i;
      if (i >= text.size()) return kUnfinished;
      return Within(text[i], 0x30, 0x7E) ? i + 1 : i;
    } else {
      return Within(second, 0x30, 0x7E) ? i : i - 1;
    }
  }
  if (control) {
    while (i < text.size() && Within(text[i], 0x20, 0x3F)) ++i;
    if (i >= text.size()) return kUnfinished;
    return Within(text[i], 0x40, 0x7E) ? i + 1 : i;
  }
  if (string) {
    // Up to BEL or ESC backslash (or the end of the line).
    for (; i < text.size(); ++i) {
      if (text[i] == 0x07) return i + 1;
      if (text[i] == L'\n') return i;
      if (text[i] == kEscape) {
        if (i + 1 >= text.size()) return kUnfinished;
        return text[i + 1] == L'\\' ? i + 2 : i;
      }
    }
    return kUnfinished;
  }
  return i;
}

}  // namespace

std::wstring CleanGameText(const std::wstring& text, std::wstring* unfinished) {
  std::wstring clean;
  clean.reserve(text.size());
  if (unfinished != nullptr) unfinished->clear();
  for (size_t i = 0; i < text.size();) {
    const wchar_t ch = text[i];
    if (ch == kEscape || ch == 0x9B || ch == 0x9D) {
      const size_t end = EscapeEnd(text, i);
      if (end == kUnfinished) {
        if (unfinished != nullptr) *unfinished = text.substr(i);
        break;
      }
      i = end;
      continue;
    }
    ++i;
    if (ch == L'\n' || ch == L'\t') {
      clean += ch;
    } else if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
      continue;
    } else {
      clean += ch;
    }
  }
  return clean;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t start = text.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return std::wstring();
  return text.substr(start, text.find_last_not_of(L" \t") - start + 1);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L'\n', start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace player
