// SPDX-License-Identifier: GPL-3.0-or-later
// The stock one-line edit: a caret that Left, Right, Home and End move;
// typed characters go in at the caret, the backspace character deletes the
// one before it and Delete the one after. Enter, Escape and Tab are the
// dialog's. The text is read back with WM_GETTEXT or GetWindowText.
#ifndef NARRO_PLATFORM_WIN_EDIT_H_
#define NARRO_PLATFORM_WIN_EDIT_H_

#include <cstddef>

#include "platform/win/Window.h"

namespace platform {

class Edit : public Window {
 public:
  Edit(HWND parent, int id, unsigned style);
  const char* ClassName() const override { return "Edit"; }
  size_t Caret() const { return m_caret; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Changed();
  size_t m_caret = 0;
  size_t m_limit;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_EDIT_H_
