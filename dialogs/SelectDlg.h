// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken list dialog: the player picks one entry with the keyboard
// alone, hearing the introduction when the dialog opens and each entry as
// the cursor reaches it. The dialog does not know what its entries stand
// for: Insert and Delete go to the entry's object, which decides.
//
//   CSelectDlg dialog;
//   dialog.m_title = "Word List";
//   dialog.m_instructions = "...";
//   dialog.m_items[L"lantern"] = entry;   // owned by the caller
//   if (dialog.DoModal(nullptr) == 1) use(dialog.m_selectedText);
#ifndef NARRO_DIALOGS_SELECT_DLG_H_
#define NARRO_DIALOGS_SELECT_DLG_H_

#include <map>
#include <string>

#include "dialogs/ListBoxSpeak.h"
#include "platform/win/Dialog.h"
#include "text/ListItem.h"

class CSelectDlg : public platform::Dialog {
 public:
  CSelectDlg();

  // The end code: 1 accepted (Enter, or a double-click on an entry), 2
  // Escape, 1023 the Cancel button, -1 when the dialog could not be shown.
  int DoModal(platform::HWND parent);

  std::map<std::wstring, CListItem*> m_items;  // not owned
  CListItem* m_selectedItem = nullptr;
  CListBoxSpeak m_list;
  platform::HWND m_listWnd = nullptr;
  std::wstring m_selectedText;
  std::string m_selectedPath;
  bool m_speakIntro = false;
  // Heard before chosen: the opening says the entry under the cursor too,
  // queued behind the introduction, and Enter chooses only an entry the
  // player has heard since (the cursor reached it, it was spelled, or an
  // Enter said it instead of choosing it). A host call of our own sets it;
  // the lists of getList keep their first entry silent.
  bool m_heardBeforeChosen = false;
  std::string m_instructions;
  std::string m_title;

  // The index of the stored entry, or -1 (and an empty choice) when no
  // entry is current.
  int StoreSelection();

 protected:
  bool DialogProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam,
                  platform::LRESULT& result) override;

 private:
  void OnInitDialog();
  void OnCloseCmd(int id);
  void OnCommand(int id, unsigned code);
  void OnKeyDown(unsigned key, platform::LPARAM object);
  void FillList();
  void RemoveSelected();
  void ClearSelection();
  // Whether anything the list says can be heard.
  static bool HeardSomewhere();
};

#endif  // NARRO_DIALOGS_SELECT_DLG_H_
