// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFiles.h"

#include <cstdlib>
#include <cwctype>
#include <vector>

#include "player/SmallFiles.h"
#include "player/CleanText.h"
#include "platform/locale/TextEncoding.h"

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

namespace {

// The first line of lines[first, end) that can be a title, if any.
std::wstring FirstTitleLine(const std::vector<std::wstring>& lines, size_t first, size_t end) {
  for (size_t j = first; j < end; ++j) {
    const std::wstring line = Trimmed(lines[j]);
    if (!line.empty() && !IsCopyrightLine(line) && !NamesSerial(line)) return ShortTitle(line);
  }
  return std::wstring();
}

size_t BlockStart(const std::vector<std::wstring>& lines, size_t at) {
  while (at > 0 && !Trimmed(lines[at - 1]).empty()) --at;
  return at;
}

// A line that names the author: "By J. J. Guest", "An Adaptation of
// Adventure by Willie Crowther", "Interactive Fiction by ...". A sentence
// of the story ("You stand by the door.") ends as sentences do.
bool IsByline(const std::wstring& line) {
  const std::wstring lower = Lower(line);
  if (lower.rfind(L"by ", 0) == 0) return true;
  if (lower.find(L" by ") == std::wstring::npos || lower.size() > kTitleLimit) return false;
  const wchar_t last = lower.back();
  return last != L'.' && last != L'!' && last != L'?' && last != L',' && last != L';' && last != L':';
}

// A title stands alone on its line, short, not a sentence.
bool CanBeTitle(const std::wstring& line) {
  if (line.empty() || line.size() > kTitleLimit / 2 || IsCopyrightLine(line) || NamesSerial(line)) return false;
  const wchar_t last = line.back();
  return last != L'.' && last != L',' && last != L';' && last != L':';
}

}  // namespace

std::wstring TitleFromBanner(const std::wstring& banner) {
  const std::vector<std::wstring> lines = SplitLines(banner);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!NamesSerial(lines[i])) continue;
    const size_t first = BlockStart(lines, i);
    std::wstring title = FirstTitleLine(lines, first, i);
    if (!title.empty()) return title;
    // A release line set apart ("Ditch Day Drifter / Interactive Fiction
    // by ... / (blank) / Release 1.0"): the title heads the block above,
    // when that block is a few lines of credits and not a paragraph.
    size_t last = first;
    while (last > 0 && Trimmed(lines[last - 1]).empty()) --last;
    if (last == 0 || last == first) return std::wstring();
    const size_t above = BlockStart(lines, last - 1);
    if (last - above > 8) return std::wstring();
    title = Trimmed(lines[above]);
    return CanBeTitle(title) ? ShortTitle(title) : std::wstring();
  }
  // No release line (Hugo, ADRIFT, many TADS games): the banner's first
  // line is the title when the next line names the author.
  size_t first = 0;
  while (first < lines.size() && Trimmed(lines[first]).empty()) ++first;
  size_t next = first + 1;
  while (next < lines.size() && Trimmed(lines[next]).empty()) ++next;
  if (next >= lines.size()) return std::wstring();
  const std::wstring title = Trimmed(lines[first]);
  if (CanBeTitle(title) && IsByline(Trimmed(lines[next]))) return ShortTitle(title);
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

namespace {

// The value of attribute `name` in the element text `element`, its
// entities decoded; false when it has none.
bool Attribute(const std::string& element, const std::string& name, std::string& value) {
  for (size_t at = 0; (at = element.find(name, at)) != std::string::npos; at += name.size()) {
    // A whole attribute name: after blank space, before "=" and a quote.
    if (at == 0 || (element[at - 1] != ' ' && element[at - 1] != '\t' && element[at - 1] != '\n' &&
                    element[at - 1] != '\r')) {
      continue;
    }
    size_t equals = element.find_first_not_of(" \t\r\n", at + name.size());
    if (equals == std::string::npos || element[equals] != '=') continue;
    const size_t open = element.find_first_not_of(" \t\r\n", equals + 1);
    if (open == std::string::npos || (element[open] != '"' && element[open] != '\'')) continue;
    const size_t close = element.find(element[open], open + 1);
    if (close == std::string::npos) return false;
    const std::string raw = element.substr(open + 1, close - open - 1);
    value.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        value += raw[i];
        continue;
      }
      const size_t semicolon = raw.find(';', i);
      if (semicolon == std::string::npos) {
        value += raw.substr(i);
        break;
      }
      const std::string entity = raw.substr(i + 1, semicolon - i - 1);
      static const struct {
        const char* name;
        char character;
      } kEntities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      bool known = false;
      for (const auto& e : kEntities) {
        if (entity == e.name) {
          value += e.character;
          known = true;
        }
      }
      if (!known && entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x' || entity[1] == 'X';
        char* end = nullptr;
        const unsigned long code = std::strtoul(entity.c_str() + (hex ? 2 : 1), &end, hex ? 16 : 10);
        if (end != nullptr && *end == '\0' && code > 0 && code <= 0x10FFFF) {
          value += platform::Utf8FromWide(std::wstring(1, static_cast<wchar_t>(code)));
          known = true;
        }
      }
      if (!known) value += raw.substr(i, semicolon - i + 1);
      i = semicolon;
    }
    return true;
  }
  return false;
}

}  // namespace

bool StoredName(const std::string& xml, const std::string& crc, std::string& name) {
  static const std::string kElement = "<supported_game";
  for (size_t at = 0; (at = xml.find(kElement, at)) != std::string::npos;) {
    const size_t end = xml.find('>', at);
    if (end == std::string::npos) return false;
    const std::string element = xml.substr(at + kElement.size(), end - at - kElement.size());
    std::string fingerprint;
    if (Attribute(element, "fingerprint", fingerprint) && fingerprint == crc) {
      return Attribute(element, "FullName", name);
    }
    at = end;
  }
  return false;
}

bool IsStandInName(const std::wstring& name, const std::string& story) {
  return !name.empty() && name == platform::WideFromUtf8(StemOf(story));
}

}  // namespace player
