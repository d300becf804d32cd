// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/InputDlg.h"

#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/DialogTemplate.h"
#include "text/DialogHost.h"

namespace {
constexpr int kCancelButton = 1023;
}  // namespace

int CInputDlg::DoModal(platform::HWND parent) {
  return Dialog::DoModal(parent, platform::IDD_INPUT);
}

bool CInputDlg::DialogProc(platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM, platform::LRESULT& result) {
  using namespace platform;
  result = 0;
  if (message == WM_INITDIALOG) {
    OnInitDialog();
    result = 1;
    return true;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    const int id = static_cast<int>(LOWORD(wParam));
    if (id == IDOK || id == IDCANCEL || id == kCancelButton) {
      OnCloseCmd(id);
      return true;
    }
  }
  return false;
}

void CInputDlg::OnInitDialog() {
  using namespace platform;
  SetWindowText(this, platform::WideFromLocale(m_prompt));
  m_edit.m_speak = HostFlags(FLAG_DIALOG_SPEECH) ? 1 : 0;
  m_edit.m_ctrlId = IDC_EDIT;
  m_edit.m_parent = this;
  m_edit.SubclassWindow(GetDlgItem(IDC_EDIT));
  SetFocus(GetDlgItem(IDC_EDIT));
}

void CInputDlg::OnCloseCmd(int id) {
  if (id == platform::IDOK) {
    // What the control holds when the player accepts, also after a last
    // deletion that no key-down followed.
    m_edit.Refresh();
  } else {
    m_edit.m_typed.clear();
  }
  EndDialog(id);
}
