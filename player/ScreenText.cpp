// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/ScreenText.h"

#include <wchar.h>

namespace player {

int CellWidth(wchar_t ch) {
  const int width = wcwidth(ch);
  return width < 0 ? 1 : width;
}

int CellsOf(const std::wstring& text) {
  int cells = 0;
  for (wchar_t ch : text) cells += CellWidth(ch);
  return cells;
}

std::wstring WrapForScreen(const std::wstring& text, int columns) {
  if (columns < 2) return text;
  std::wstring out;
  out.reserve(text.size() + text.size() / 32);
  size_t lineStart = 0;  // in out
  int cells = 0;
  size_t lastBlank = std::wstring::npos;  // in out, on the current line
  for (wchar_t ch : text) {
    if (ch == L'\n') {
      out += ch;
      lineStart = out.size();
      cells = 0;
      lastBlank = std::wstring::npos;
      continue;
    }
    const int width = CellWidth(ch);
    if (cells + width > columns) {
      if (ch == L' ') {
        // The blank at the break goes.
        out += L'\n';
        lineStart = out.size();
        cells = 0;
        lastBlank = std::wstring::npos;
        continue;
      }
      if (lastBlank != std::wstring::npos && lastBlank >= lineStart) {
        out[lastBlank] = L'\n';
        lineStart = lastBlank + 1;
        cells = CellsOf(out.substr(lineStart));
      } else {
        out += L'\n';
        lineStart = out.size();
        cells = 0;
      }
      lastBlank = std::wstring::npos;
    }
    if (ch == L' ') lastBlank = out.size();
    out += ch;
    cells += width;
  }
  return out;
}

}  // namespace player
