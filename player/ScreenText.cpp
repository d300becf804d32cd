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

std::wstring FitCells(const std::wstring& text, int columns) {
  std::wstring row;
  int cells = 0;
  for (wchar_t ch : text) {
    const int width = CellWidth(ch);
    if (cells + width > columns) break;
    row += ch;
    cells += width;
  }
  if (cells < columns) row.append(static_cast<size_t>(columns - cells), L' ');
  return row;
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

std::wstring ForScreen(const std::wstring& text, bool lineFeeds) {
  std::wstring clean;
  clean.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    const bool escape = ch == 0x1B;
    if (escape || ch == 0x9B || ch == 0x9D || ch == 0x90 || ch == 0x9E || ch == 0x9F) {
      // What kind of sequence: CSI, a string (OSC, DCS, PM, APC), or an
      // escape and one character.
      wchar_t kind = ch;
      if (escape && i + 1 < text.size()) kind = text[++i];
      if (escape && kind >= 0x20 && kind <= 0x2F) {
        // ESC ( 0 and the like: intermediates, then one final character.
        while (i + 1 < text.size() && text[i + 1] >= 0x20 && text[i + 1] <= 0x2F) ++i;
        if (i + 1 < text.size()) ++i;
      } else if (kind == L'[' || kind == 0x9B) {
        while (i + 1 < text.size() && !(text[i + 1] >= 0x40 && text[i + 1] <= 0x7E)) ++i;
        if (i + 1 < text.size()) ++i;  // its final character
      } else if (kind == L']' || kind == L'P' || kind == L'^' || kind == L'_' || kind == 0x9D || kind == 0x90 ||
                 kind == 0x9E || kind == 0x9F) {
        while (i + 1 < text.size() && text[i + 1] != 0x07 && text[i + 1] != 0x9C && text[i + 1] != 0x1B) ++i;
        if (i + 1 < text.size()) {
          ++i;
          if (text[i] == 0x1B && i + 1 < text.size() && text[i + 1] == L'\\') ++i;
        }
      }
      continue;
    }
    if (ch == L'\n') {
      clean += lineFeeds ? L'\n' : L' ';
    } else if (ch == L'\t') {
      clean += L' ';
    } else if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
      continue;
    } else if ((ch >= 0x202A && ch <= 0x202E) || (ch >= 0x2066 && ch <= 0x2069)) {
      continue;
    } else {
      clean += ch;
    }
  }
  return clean;
}

}  // namespace player
