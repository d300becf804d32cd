// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/DialogTemplate.h"

#include "platform/win/Messages.h"

namespace platform {

namespace {

// The edit comes before the buttons so that it is the first tab stop and
// has the focus when the dialog opens.
const DialogTemplate kInput{
    IDD_INPUT,
    L"Dialog",
    186,
    58,
    {
        {IDC_STATIC, ControlKind::kStatic, L"Name", WS_GROUP, 17, 8, 26, 14},
        {IDC_EDIT, ControlKind::kEdit, L"", WS_TABSTOP | ES_AUTOHSCROLL, 47, 7, 132, 12},
        {IDOK, ControlKind::kButton, L"OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 7, 34, 50, 14},
        {IDCANCEL, ControlKind::kButton, L"Cancel", WS_TABSTOP, 129, 34, 50, 14},
    }};

// No OK button: Enter (command 1) accepts. The list is the only tab stop.
const DialogTemplate kSelect{
    IDD_SELECT,
    L"Dialog",
    186,
    255,
    {
        {IDC_INSTRUCTIONS, ControlKind::kStatic, L"Instructions", WS_GROUP, 7, 7, 172, 72},
        {IDC_LIST, ControlKind::kListBox, L"", WS_TABSTOP | LBS_NOTIFY | LBS_SORT, 7, 84, 172, 136},
        {IDC_CANCEL_LIST, ControlKind::kButton, L"Cancel", 0, 7, 233, 172, 14},
    }};

}  // namespace

const DialogTemplate* FindDialogTemplate(int resource) {
  switch (resource) {
    case IDD_INPUT:
      return &kInput;
    case IDD_SELECT:
      return &kSelect;
    default:
      return nullptr;
  }
}

}  // namespace platform
