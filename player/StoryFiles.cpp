// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFiles.h"

#include <cwctype>
#include <vector>

#include "player/Files.h"
#include "player/Utf8Text.h"

namespace player {

std::string StemOf(const std::string& path) {
  const std::string base = BaseName(path);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

namespace {

std::wstring Lower(const std::wstring& text) {
  std::wstring lower = text;
  for (wchar_t& ch : lower) ch = static_cast<wchar_t>(std::towlower(ch));
  return lower;
}

bool NamesSerial(const std::wstring& line) {
  const std::wstring lower = Lower(line);
  return lower.find(L"serial number") != std::wstring::npos ||
         ((lower.rfind(L"release ", 0) == 0 || lower.rfind(L"revision ", 0) == 0) &&
          lower.size() > 9 && std::iswdigit(lower[lower.find(L' ') + 1]));
}

bool IsCopyrightLine(const std::wstring& line) {
  const std::wstring lower = Lower(line);
  for (const wchar_t* mark : {L"copyright", L"(c)", L"\u00a9", L"all rights reserved", L"trademark"}) {
    if (lower.find(mark) != std::wstring::npos) return true;
  }
  return false;
}

}  // namespace

std::wstring TitleFromBanner(const std::wstring& banner) {
  const std::vector<std::wstring> lines = SplitLines(banner);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!NamesSerial(lines[i])) continue;
    size_t first = i;
    while (first > 0 && !Trimmed(lines[first - 1]).empty()) --first;
    for (size_t j = first; j < i; ++j) {
      const std::wstring line = Trimmed(lines[j]);
      if (!IsCopyrightLine(line) && !NamesSerial(line)) return ShortTitle(line);
    }
    return std::wstring();
  }
  return std::wstring();
}

std::wstring ShortTitle(const std::wstring& title) {
  if (title.size() <= kTitleLimit) return title;
  // Cut at the last blank that keeps it within the limit, else anywhere.
  size_t cut = title.rfind(L' ', kTitleLimit);
  if (cut == std::wstring::npos || cut < kTitleLimit / 2) cut = kTitleLimit;
  std::wstring shorter = title.substr(0, cut);
  while (!shorter.empty() && (shorter.back() == L' ' || shorter.back() == L',')) shorter.pop_back();
  return shorter;
}

}  // namespace player
