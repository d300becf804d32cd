// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/Button.h"

#include <cwctype>

namespace platform {

std::wstring WithoutMnemonic(const std::wstring& text) {
  std::wstring shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;  // "&&" shows one '&'
    shown.push_back(text[i]);
  }
  return shown;
}

wchar_t Mnemonic(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towlower(text[i + 1]));
    ++i;
  }
  return 0;
}

Button::Button(HWND parent, int id, unsigned style, std::wstring text)
    : Window(parent, id, style, std::move(text)) {}

LRESULT Button::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (IsDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_CHAR:
      if (static_cast<wchar_t>(wParam) != L' ') return 0;
      [[fallthrough]];
    case BM_CLICK:
      SendMessage(Parent(), WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(Id()), BN_CLICKED),
                  reinterpret_cast<LPARAM>(static_cast<HWND>(this)));
      return 0;
    default:
      return Window::WindowProc(message, wParam, lParam);
  }
}

Static::Static(HWND parent, int id, unsigned style, std::wstring text)
    : Window(parent, id, style, std::move(text)) {}

LRESULT Static::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) return DLGC_STATIC;
  return Window::WindowProc(message, wParam, lParam);
}

}  // namespace platform
