// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/ListBox.h"

#include <algorithm>
#include <unicode/uchar.h>

namespace platform {

namespace {

// Case folding by Unicode's rules, whatever the locale; ASCII, the common
// case, without a call.
wchar_t Fold(wchar_t c) {
  if (c < 128) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
  return static_cast<wchar_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Fold(text[i]) != Fold(prefix[i])) return false;
  }
  return true;
}

}  // namespace

int CompareIgnoringCase(const std::wstring& a, const std::wstring& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const wchar_t x = Fold(a[i]);
    const wchar_t y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

ListBox::ListBox(HWND parent, int id, unsigned style, int pageRows)
    : Window(parent, id, style, L""), m_pageRows(std::max(1, pageRows)) {}

void ListBox::SetPageRows(int rows) {
  m_pageRows = std::max(1, rows);
  KeepVisible();
}

int ListBox::Add(std::wstring text) {
  if (!(Style() & LBS_SORT)) return Insert(-1, std::move(text));
  // After the entries that sort equal, so that equal texts keep their order.
  auto at = std::upper_bound(m_entries.begin(), m_entries.end(), text,
                             [](const std::wstring& t, const std::unique_ptr<Entry>& e) {
                               return CompareIgnoringCase(t, e->text) < 0;
                             });
  return Insert(static_cast<int>(at - m_entries.begin()), std::move(text));
}

int ListBox::Insert(int index, std::wstring text) {
  if (index < 0 || index > Count()) index = Count();
  m_entries.insert(m_entries.begin() + index, std::make_unique<Entry>(Entry{std::move(text), 0}));
  if (m_current >= index) ++m_current;
  return index;
}

int ListBox::Find(int after, const std::wstring& prefix, bool exact) const {
  const int count = Count();
  if (count == 0) return LB_ERR;
  const int start = Valid(after) ? after + 1 : 0;
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    const std::wstring& text = m_entries[index]->text;
    if (exact ? CompareIgnoringCase(text, prefix) == 0 : StartsWithIgnoringCase(text, prefix)) {
      return index;
    }
  }
  return LB_ERR;
}

void ListBox::KeepVisible() {
  const int count = Count();
  if (Valid(m_current)) {
    if (m_current < m_top) m_top = m_current;
    if (m_current >= m_top + m_pageRows) m_top = m_current - m_pageRows + 1;
  }
  m_top = std::max(0, std::min(m_top, count - m_pageRows));
}

void ListBox::Notify(unsigned code) {
  if (Style() & LBS_NOTIFY) {
    SendMessage(Parent(), WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(Id()), code),
                reinterpret_cast<LPARAM>(static_cast<HWND>(this)));
  }
}

void ListBox::MoveTo(int index) {
  if (Count() == 0) return;
  index = std::max(0, std::min(index, Count() - 1));
  if (index == m_current) return;
  m_current = index;
  KeepVisible();
  Notify(LBN_SELCHANGE);
}

LRESULT ListBox::OnKeyDown(unsigned key) {
  const bool none = !Valid(m_current);
  switch (key) {
    case VK_UP:
      MoveTo(none ? 0 : m_current - 1);
      break;
    case VK_DOWN:
      MoveTo(none ? 0 : m_current + 1);
      break;
    case VK_PRIOR:
      MoveTo(none ? 0 : m_current - (m_pageRows - 1 > 0 ? m_pageRows - 1 : 1));
      break;
    case VK_NEXT:
      MoveTo(none ? m_pageRows - 1 : m_current + (m_pageRows - 1 > 0 ? m_pageRows - 1 : 1));
      break;
    case VK_HOME:
      MoveTo(0);
      break;
    case VK_END:
      MoveTo(Count() - 1);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT ListBox::OnChar(wchar_t ch) {
  // Control characters (Enter, Escape, Backspace, Tab) search for nothing.
  if (ch < 32 || ch == 127 || (ch >= 128 && ch < 160)) return 0;
  const int found = Find(m_current, std::wstring(1, ch), false);
  if (found != LB_ERR) MoveTo(found);
  return 0;
}

LRESULT ListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      return OnKeyDown(static_cast<unsigned>(wParam));
    case WM_CHAR:
      return OnChar(static_cast<wchar_t>(wParam));
    case WM_LBUTTONDBLCLK:
      Notify(LBN_DBLCLK);
      return 0;
    case LB_ADDSTRING:
      return Add(lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"");
    case LB_INSERTSTRING:
      if (index > Count()) return LB_ERR;
      return Insert(index, lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"");
    case LB_DELETESTRING:
      if (!Valid(index)) return LB_ERR;
      m_entries.erase(m_entries.begin() + index);
      if (m_current == index) m_current = LB_ERR;
      else if (m_current > index) --m_current;
      KeepVisible();
      return Count();
    case LB_RESETCONTENT:
      m_entries.clear();
      m_current = LB_ERR;
      m_top = 0;
      return 0;
    case LB_SETCURSEL:
      if (!Valid(index)) {
        // -1 clears the cursor and, as on Windows, still answers LB_ERR.
        if (index == -1) m_current = LB_ERR;
        return LB_ERR;
      }
      m_current = index;
      KeepVisible();
      return index;
    case LB_GETCURSEL:
      return m_current;
    case LB_GETCOUNT:
      return Count();
    case LB_GETTEXTLEN:
      return Valid(index) ? static_cast<LRESULT>(m_entries[index]->text.size()) : static_cast<LRESULT>(LB_ERR);
    case LB_GETTEXT: {
      // The buffer holds LB_GETTEXTLEN characters and the terminator.
      if (!Valid(index) || lParam == 0) return LB_ERR;
      const std::wstring& text = m_entries[index]->text;
      auto* buffer = reinterpret_cast<wchar_t*>(lParam);
      std::copy(text.begin(), text.end(), buffer);
      buffer[text.size()] = L'\0';
      return static_cast<LRESULT>(text.size());
    }
    case LB_GETITEMDATA:
      return Valid(index) ? m_entries[index]->data : static_cast<LRESULT>(LB_ERR);
    case LB_SETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      m_entries[index]->data = lParam;
      return LB_OKAY;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      return Find(index, lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"",
                  message == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      const int found = Find(index, lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"", false);
      if (found != LB_ERR) {
        m_current = found;
        KeepVisible();
      }
      return found;
    }
    case LB_GETTOPINDEX:
      return m_top;
    case LB_SETTOPINDEX:
      if (!Valid(index)) return LB_ERR;
      m_top = index;
      KeepVisible();
      return LB_OKAY;
    default:
      return Window::WindowProc(message, wParam, lParam);
  }
}

}  // namespace platform
