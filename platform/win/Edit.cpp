// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/Edit.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

// As many characters as Windows lets a one-line edit hold by default.
constexpr size_t kDefaultLimit = 30000;

}  // namespace

Edit::Edit(HWND parent, int id, unsigned style)
    : Window(parent, id, style, L""), m_limit(kDefaultLimit) {}

void Edit::Changed() {
  SendMessage(Parent(), WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(Id()), EN_CHANGE),
              reinterpret_cast<LPARAM>(static_cast<HWND>(this)));
}

LRESULT Edit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  std::wstring text = Text();
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT:
          if (m_caret > 0) --m_caret;
          break;
        case VK_RIGHT:
          if (m_caret < text.size()) ++m_caret;
          break;
        case VK_HOME:
          m_caret = 0;
          break;
        case VK_END:
          m_caret = text.size();
          break;
        case VK_DELETE:
          if (m_caret < text.size()) {
            text.erase(m_caret, 1);
            SetText(std::move(text));
            Changed();
          }
          break;
        default:
          break;
      }
      return 0;
    case WM_CHAR: {
      const auto ch = static_cast<wchar_t>(wParam);
      if (ch == L'\b') {
        if (m_caret > 0) {
          text.erase(--m_caret, 1);
          SetText(std::move(text));
          Changed();
        }
      } else if (ch >= 32 && ch != 127 && !(ch >= 128 && ch < 160) && text.size() < m_limit) {
        text.insert(m_caret++, 1, ch);
        SetText(std::move(text));
        Changed();
      }
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT result = Window::WindowProc(message, wParam, lParam);
      m_caret = Text().size();
      return result;
    }
    case EM_GETSEL:
      return static_cast<LRESULT>(MAKEWPARAM(static_cast<unsigned>(m_caret),
                                             static_cast<unsigned>(m_caret)));
    case EM_SETSEL: {
      // A selection is not kept: the caret goes to its end.
      const auto end = static_cast<intptr_t>(lParam);
      m_caret = end < 0 ? text.size() : std::min(text.size(), static_cast<size_t>(end));
      return 0;
    }
    case EM_LIMITTEXT:
      m_limit = wParam == 0 ? kDefaultLimit : static_cast<size_t>(wParam);
      return 0;
    default:
      return Window::WindowProc(message, wParam, lParam);
  }
}

}  // namespace platform
