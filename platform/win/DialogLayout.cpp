// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/DialogLayout.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Edit.h"
#include "platform/win/ListBox.h"

namespace platform {

namespace {

bool Printable(wchar_t c) { return c >= 32 && c != 127 && !(c >= 128 && c < 160); }

int ColumnsOf(wchar_t c) {
  const int width = ::wcwidth(c);
  // Outside a UTF-8 locale wcwidth knows no letter beyond ASCII; the
  // terminal still shows one, a column wide.
  return width < 0 ? 1 : width;
}

bool IsKind(const Window& window, const char* kind) {
  return std::string(window.ClassName()) == kind;
}

// Lines of at most `width` columns, broken at blanks where one is near.
std::vector<std::wstring> Wrap(const std::wstring& text, int width) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring paragraph = text.substr(start, end - start);
    while (!paragraph.empty()) {
      std::wstring line = FitColumns(paragraph, static_cast<size_t>(width));
      size_t taken = line.size();
      if (taken < paragraph.size()) {
        const size_t blank = line.rfind(L' ');
        if (blank != std::wstring::npos && blank > 0) {
          taken = blank + 1;
          line = line.substr(0, blank);
        }
      }
      lines.push_back(line);
      paragraph.erase(0, taken);
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

struct Block {
  const Window* control = nullptr;  // null for the caption
  std::vector<const Button*> buttons;  // a row of buttons
  int rows = 0;
  bool focused = false;
};

}  // namespace

std::wstring FitColumns(const std::wstring& text, size_t columns) {
  std::wstring fitted;
  size_t used = 0;
  for (wchar_t c : text) {
    if (!Printable(c)) c = c == L'\t' ? L' ' : L'?';
    const int width = ColumnsOf(c);
    if (used + static_cast<size_t>(width) > columns) break;
    fitted.push_back(c);
    used += static_cast<size_t>(width);
  }
  return fitted;
}

Frame LayOut(Dialog& dialog, int width, int height) {
  Frame frame;
  frame.width = std::max(1, width);
  frame.height = std::max(1, height);
  const HWND focus = GetFocus();

  std::vector<Block> blocks;
  blocks.push_back({nullptr, {}, 1, focus == &dialog});
  int listCount = 0;
  for (auto& owned : dialog.Controls()) {
    const Window& control = *owned;
    if (IsKind(control, "Button")) {
      if (blocks.back().buttons.empty()) blocks.push_back({nullptr, {}, 1, false});
      blocks.back().buttons.push_back(static_cast<const Button*>(&control));
      if (focus == &control) blocks.back().focused = true;
      continue;
    }
    Block block{&control, {}, 1, focus == &control};
    if (IsKind(control, "Static")) {
      // An empty text (a status line with nothing to say) takes no line.
      block.rows = control.Text().empty() ? 0 : static_cast<int>(Wrap(control.Text(), frame.width).size());
    } else if (IsKind(control, "ListBox")) {
      block.rows = 0;  // given what is left, below
      ++listCount;
    }
    blocks.push_back(block);
  }

  // Make room for one row per list, giving up the least needed lines first.
  auto fixedRows = [&] {
    int rows = 0;
    for (const Block& b : blocks) rows += b.rows;
    return rows;
  };
  for (auto it = blocks.rbegin(); it != blocks.rend() && fixedRows() + listCount > frame.height; ++it) {
    if (it->control != nullptr && IsKind(*it->control, "Static")) {
      it->rows = std::max(0, it->rows - (fixedRows() + listCount - frame.height));
    }
  }
  if (fixedRows() + listCount > frame.height && !blocks.front().focused) blocks.front().rows = 0;
  for (Block& b : blocks) {
    if (fixedRows() + listCount <= frame.height) break;
    if (!b.buttons.empty() && !b.focused) b.rows = 0;
  }
  const int listRows = listCount == 0 ? 0 : std::max(1, (frame.height - fixedRows()) / listCount);

  int cursorRow = 0;
  int cursorColumn = 0;
  auto add = [&](std::wstring text, size_t markStart = 0, size_t markLength = 0) {
    frame.lines.push_back({FitColumns(text, static_cast<size_t>(frame.width)), markStart, markLength});
  };
  for (Block& b : blocks) {
    const bool isList = b.control != nullptr && IsKind(*b.control, "ListBox");
    if (b.rows == 0 && !isList) continue;
    const int firstRow = static_cast<int>(frame.lines.size());
    if (!b.buttons.empty()) {
      std::wstring row;
      size_t markStart = 0;
      size_t markLength = 0;
      for (const Button* button : b.buttons) {
        if (!row.empty()) row += L"  ";
        const std::wstring name = WithoutMnemonic(button->Text());
        if (focus == button) {
          markStart = row.size();
          markLength = name.size() + 1;
          cursorRow = firstRow;
          cursorColumn = static_cast<int>(markStart);
        }
        row += (focus == button ? L">" : L" ") + name;
      }
      add(row, markStart, markLength);
    } else if (b.control == nullptr) {
      add(dialog.Text());
    } else if (IsKind(*b.control, "Static")) {
      const auto lines = Wrap(b.control->Text(), frame.width);
      for (int i = 0; i < b.rows && i < static_cast<int>(lines.size()); ++i) add(lines[i]);
    } else if (IsKind(*b.control, "ListBox")) {
      auto& list = const_cast<ListBox&>(static_cast<const ListBox&>(*b.control));
      list.SetPageRows(listRows);
      const int shown = std::min(listRows, std::max(1, list.Count() - list.Top()));
      for (int i = 0; i < shown; ++i) {
        const int index = list.Top() + i;
        if (index >= list.Count()) {
          add(list.Count() == 0 ? L"  (no entries)" : L"");
          continue;
        }
        const bool current = index == list.Current();
        add((current ? L"> " : L"  ") + list.EntryText(index), 0, current ? frame.width : 0);
      }
      if (b.focused) {
        cursorRow = firstRow + (list.Current() >= list.Top() ? list.Current() - list.Top() : 0);
        cursorColumn = 0;
      }
    } else if (IsKind(*b.control, "Edit")) {
      const auto& edit = static_cast<const Edit&>(*b.control);
      const std::wstring& text = edit.Text();
      const size_t room = static_cast<size_t>(std::max(1, frame.width - 1));
      const size_t start = edit.Caret() > room ? edit.Caret() - room : 0;
      std::wstring shown = FitColumns(text.substr(start), static_cast<size_t>(frame.width));
      add(shown);
      if (b.focused) {
        cursorRow = firstRow;
        int column = 0;
        for (size_t i = start; i < edit.Caret() && i < text.size(); ++i) {
          column += ColumnsOf(Printable(text[i]) ? text[i] : L'?');
        }
        cursorColumn = std::min(column, frame.width - 1);
      }
    }
  }
  for (FrameLine& line : frame.lines) {
    line.markLength = std::min(line.markLength, line.text.size() > line.markStart
                                                    ? line.text.size() - line.markStart
                                                    : size_t{0});
  }
  // Whatever still does not fit is cut so that the cursor's line stays.
  if (static_cast<int>(frame.lines.size()) > frame.height) {
    const int first = std::max(0, cursorRow - frame.height + 1);
    frame.lines.erase(frame.lines.begin(), frame.lines.begin() + first);
    frame.lines.resize(static_cast<size_t>(frame.height));
    cursorRow -= first;
  }
  frame.cursorRow = cursorRow;
  frame.cursorColumn = std::max(0, std::min(cursorColumn, frame.width - 1));
  return frame;
}

}  // namespace platform
