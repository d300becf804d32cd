// SPDX-License-Identifier: GPL-3.0-or-later
// The stock list box: strings kept sorted with case ignored (LBS_SORT), a
// pointer of data per entry, one current entry or none (LB_ERR). Up, Down,
// Page Up, Page Down, Home and End move the cursor without wrapping; a typed
// printable character moves to the next entry that begins with it, case
// ignored, searching on from the current one and round to the top. Every
// change made by a key tells the parent with LBN_SELCHANGE (when the list
// was made with LBS_NOTIFY); a double-click tells it LBN_DBLCLK.
// LB_SETCURSEL, as on Windows, tells no one.
#ifndef NARRO_PLATFORM_WIN_LIST_BOX_H_
#define NARRO_PLATFORM_WIN_LIST_BOX_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/win/Window.h"

namespace platform {

class ListBox : public Window {
 public:
  ListBox(HWND parent, int id, unsigned style, int pageRows);
  const char* ClassName() const override { return "ListBox"; }

  int Count() const { return static_cast<int>(m_entries.size()); }
  int Current() const { return m_current; }
  const std::wstring& EntryText(int index) const { return m_entries[index]->text; }
  // The first entry shown, and how many are shown: the drawing sets the
  // page to the rows it has, so that Page Down moves by what is seen.
  int Top() const { return m_top; }
  int PageRows() const { return m_pageRows; }
  void SetPageRows(int rows);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Entry {
    std::wstring text;
    LPARAM data = 0;
  };
  int Add(std::wstring text);
  int Insert(int index, std::wstring text);
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  int Find(int after, const std::wstring& prefix, bool exact) const;
  // Moves the cursor as a key does, and tells the parent.
  void MoveTo(int index);
  void KeepVisible();
  void Notify(unsigned code);
  LRESULT OnKeyDown(unsigned key);
  LRESULT OnChar(wchar_t ch);

  // Held by pointer, so that an insertion into a long list moves pointers.
  std::vector<std::unique_ptr<Entry>> m_entries;
  int m_current = LB_ERR;
  int m_top = 0;
  int m_pageRows;
};

// Case-ignoring order of the sorted list box.
int CompareIgnoringCase(const std::wstring& a, const std::wstring& b);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_LIST_BOX_H_
