// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog templates: the control tables dialogs are built from, in dialog
// units as the resource scripts give them. The order of the controls is the
// tab order and the order they are drawn in.
#ifndef NARRO_PLATFORM_WIN_DIALOG_TEMPLATE_H_
#define NARRO_PLATFORM_WIN_DIALOG_TEMPLATE_H_

#include <string>
#include <vector>

namespace platform {

enum class ControlKind { kStatic, kListBox, kEdit, kButton };

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::wstring text;
  unsigned style;
  int x, y, width, height;
};

struct DialogTemplate {
  int resource;
  std::wstring caption;
  int width, height;
  std::vector<ControlTemplate> controls;
};

enum : int {
  IDD_INPUT = 101,   // one line of text: prompt, edit 1024, OK, Cancel
  IDD_SELECT = 102,  // a spoken list: instructions 1027, list 1022, Cancel 1023
  IDC_EDIT = 1024,
  IDC_LIST = 1022,
  IDC_CANCEL_LIST = 1023,
  IDC_INSTRUCTIONS = 1027,
  IDC_STATIC = -1,
};

// The template of that resource number; null when there is none.
const DialogTemplate* FindDialogTemplate(int resource);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_DIALOG_TEMPLATE_H_
