// SPDX-License-Identifier: GPL-3.0-or-later
// What a dialog looks like in a terminal of a given size, as plain lines for
// a console screen reader and a braille display: the caption, the static
// texts wrapped, the list entries one a line with the current one marked
// '>' (and shown in reverse video), the edit's text, the buttons in a row
// with the focused one marked '>'. The cursor stands where the focus is: on
// the current entry, at the edit's caret, on the focused button.
//
// When the terminal is too small, the static texts give way first, then the
// caption, then rows of buttons without the focus; the list keeps at least
// one row, and the lines shown always include the cursor's.
#ifndef NARRO_PLATFORM_WIN_DIALOG_LAYOUT_H_
#define NARRO_PLATFORM_WIN_DIALOG_LAYOUT_H_

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

class Dialog;

struct FrameLine {
  std::wstring text;  // fits the width
  size_t markStart = 0;   // columns shown in reverse video
  size_t markLength = 0;
  bool operator==(const FrameLine& other) const {
    return text == other.text && markStart == other.markStart && markLength == other.markLength;
  }
  bool operator!=(const FrameLine& other) const { return !(*this == other); }
};

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<FrameLine> lines;  // at most height
  int cursorRow = 0;
  int cursorColumn = 0;
};

// Also sets each list's page to the rows it is given.
Frame LayOut(Dialog& dialog, int width, int height);

// The text cut to fit `columns` terminal columns; characters that cannot be
// shown become '?'.
std::wstring FitColumns(const std::wstring& text, size_t columns);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_DIALOG_LAYOUT_H_
