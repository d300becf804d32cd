// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SpeechdRequest.h"

#include <algorithm>
#include <cwctype>

#include "platform/locale/TextEncoding.h"
#include "platform/sapi/Sapi.h"

namespace platform {

namespace {

bool IsReadAsBlank(wchar_t c) {
  const auto code = static_cast<uint32_t>(c);
  if (code == '\t' || code == '\n' || code == '\r') return false;
  if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return true;
  return (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
}

bool IsWholeDocument(const std::wstring& text) {
  size_t start = 0;
  while (start < text.size() && std::iswspace(text[start])) ++start;
  if (text.compare(start, 4, L"<?xm") == 0) {
    const size_t close = text.find(L"?>", start);
    if (close == std::wstring::npos) return false;
    start = close + 2;
    while (start < text.size() && std::iswspace(text[start])) ++start;
  }
  return text.compare(start, 6, L"<speak") == 0;
}

}  // namespace

SPDPriority SpeechdPriority(uint32_t flags) {
  const bool echo = (flags & SPF_ASYNC) && (flags & SPF_PURGEBEFORESPEAK);
  return echo ? SPD_TEXT : SPD_MESSAGE;
}

std::string SpeechdText(const wchar_t* text, bool markup) {
  std::wstring copy = text ? text : L"";
  std::replace_if(copy.begin(), copy.end(), IsReadAsBlank, L' ');
  if (markup && !IsWholeDocument(copy)) copy = L"<speak>" + copy + L"</speak>";
  return Utf8FromWide(copy);
}

int SpeechdRate(long rate) {
  return static_cast<int>(std::clamp(rate, -10L, 10L) * 10);
}

int SpeechdVolume(uint16_t volume) {
  return std::min<int>(volume, 100) * 2 - 100;
}

}  // namespace platform
