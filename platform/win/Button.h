// SPDX-License-Identifier: GPL-3.0-or-later
// The stock push button and static text. A button is pressed by Space when
// it has the focus, by Enter when it has the focus or is the default, and
// by its mnemonic (the letter after '&' in its text); pressing sends
// WM_COMMAND with BN_CLICKED to the parent.
#ifndef NARRO_PLATFORM_WIN_BUTTON_H_
#define NARRO_PLATFORM_WIN_BUTTON_H_

#include <string>

#include "platform/win/Window.h"

namespace platform {

class Button : public Window {
 public:
  Button(HWND parent, int id, unsigned style, std::wstring text);
  const char* ClassName() const override { return "Button"; }
  bool IsDefault() const { return (Style() & BS_DEFPUSHBUTTON) != 0; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class Static : public Window {
 public:
  Static(HWND parent, int id, unsigned style, std::wstring text);
  const char* ClassName() const override { return "Static"; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A button's text as it is read aloud or shown: without the '&' marks.
std::wstring WithoutMnemonic(const std::wstring& text);
// The letter after '&', lower-cased; 0 when there is none.
wchar_t Mnemonic(const std::wstring& text);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_BUTTON_H_
