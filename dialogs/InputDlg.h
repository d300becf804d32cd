// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken input dialog: one line of text, each word spoken as it is
// completed.
#ifndef NARRO_DIALOGS_INPUT_DLG_H_
#define NARRO_DIALOGS_INPUT_DLG_H_

#include <string>

#include "dialogs/EditSpeak.h"
#include "platform/win/Dialog.h"

class CInputDlg : public platform::Dialog {
 public:
  // The end code: 1 OK, 2 Cancel or Escape, -1 when it could not be shown.
  // The typed text is then in m_edit.m_typed (empty when cancelled).
  int DoModal(platform::HWND parent);

  CEditSpeak m_edit;
  std::string m_prompt;

 protected:
  bool DialogProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam,
                  platform::LRESULT& result) override;

 private:
  void OnInitDialog();
  void OnCloseCmd(int id);
};

#endif  // NARRO_DIALOGS_INPUT_DLG_H_
