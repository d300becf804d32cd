// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/FolderChooser.h"

#include <vector>

#include "platform/locale/TextEncoding.h"
#include "platform/win/Announcer.h"
#include "platform/win/Dialog.h"
#include "platform/win/FolderListing.h"
#include "platform/win/ListBox.h"

namespace platform {

namespace {

enum : int { kFolderText = 100, kFolderList = 101, kStatusText = 102 };
constexpr LPARAM kUp = -1;  // the item data of ".."

class FolderDialog;

// Sees the list's keys before the list does: Right, Left and Backspace
// move between folders instead of moving the cursor.
class FolderKeys : public Subclass {
 public:
  explicit FolderKeys(FolderDialog& dialog) : m_dialog(dialog) {}

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  FolderDialog& m_dialog;
};

class FolderDialog : public Dialog {
 public:
  FolderDialog(std::string start, bool speak) : m_start(std::move(start)), m_speak(speak) {}
  const std::string& Chosen() const { return m_chosen; }

  void Down() {
    const LPARAM item = CurrentItem();
    if (item == kUp) {
      Up();
    } else if (item >= 0) {
      Enter(JoinFolder(m_current, m_names[static_cast<size_t>(item)]), std::string());
    }
  }

  void Up() {
    if (m_current != "/") Enter(ParentFolder(m_current), LastName(m_current));
  }

 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    result = 0;
    if (message == WM_INITDIALOG) {
      m_keys.SubclassWindow(GetDlgItem(kFolderList));
      const std::string start = NormalFolder(m_start);
      if (start == "/" || !Enter(ParentFolder(start), LastName(start), false)) {
        if (!Enter(start, std::string(), false)) Enter("/", std::string(), false);
      }
      result = 1;
      return true;
    }
    if (message != WM_COMMAND) return false;
    const int id = static_cast<int>(LOWORD(wParam));
    if (id == kFolderList) {
      if (HIWORD(wParam) == LBN_SELCHANGE) SayCurrent();
    } else if (id == IDOK) {
      const LPARAM item = CurrentItem();
      if (item == kUp) {
        Up();
      } else if (item >= 0) {
        m_chosen = JoinFolder(m_current, m_names[static_cast<size_t>(item)]);
        EndDialog(IDOK);
      }
    } else if (id == IDCANCEL) {
      EndDialog(IDCANCEL);
    }
    return true;
  }

 private:
  LPARAM CurrentItem() {
    HWND list = GetDlgItem(kFolderList);
    const LRESULT current = SendMessage(list, LB_GETCURSEL);
    if (current < 0) return -2;
    return SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(current));
  }

  // flags 3 as the cursor moves, each folder cutting off the one before;
  // 1 at the opening, behind whatever introduced the chooser.
  void SayCurrent(int flags = 3) {
    if (!m_speak) return;
    HWND list = GetDlgItem(kFolderList);
    const LRESULT current = SendMessage(list, LB_GETCURSEL);
    if (current >= 0) {
      Current<Announcer>().Announce(static_cast<ListBox*>(list)->EntryText(static_cast<int>(current)), flags);
    }
  }

  // Shows the folders of `folder` with `select` under the cursor (the first
  // folder when it is not there); false, and nothing changed but the word
  // that it cannot be opened, when the folder cannot be listed.
  // Moving into a folder says its name and how many folders it holds, then
  // (queued behind) the folder under the cursor.
  bool Enter(const std::string& folder, const std::string& select, bool moved = true) {
    std::vector<std::string> names;
    if (!ListFolders(folder, names)) {
      const std::wstring refusal =
          WideFromLocale(LastName(folder).empty() ? folder : LastName(folder)) + L" cannot be opened.";
      SetWindowText(GetDlgItem(kStatusText), refusal);
      if (m_speak) Current<Announcer>().Announce(refusal, 3);
      return false;
    }
    m_current = folder;
    m_names = std::move(names);
    HWND list = GetDlgItem(kFolderList);
    SendMessage(list, LB_RESETCONTENT);
    // The cursor starts on the first folder rather than on "..", so that
    // Right after Right goes on down.
    int selected = m_current != "/" && !m_names.empty() ? 1 : 0;
    if (m_current != "/") {
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L".."));
      SendMessage(list, LB_SETITEMDATA, 0, kUp);
    }
    for (size_t i = 0; i < m_names.size(); ++i) {
      const std::wstring shown = WideFromLocale(m_names[i]);
      const LRESULT at = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
      SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
      if (!select.empty() && m_names[i] == select) selected = static_cast<int>(at);
    }
    SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(selected));
    SetWindowText(GetDlgItem(kFolderText), WideFromLocale(m_current));
    SetWindowText(GetDlgItem(kStatusText), L"");
    if (moved && m_speak) {
      const std::wstring name = WideFromLocale(LastName(m_current).empty() ? m_current
                                                                          : LastName(m_current));
      const size_t count = m_names.size();
      Current<Announcer>().Announce(
          name + L", " + std::to_wstring(count) + (count == 1 ? L" folder" : L" folders"), 3);
      const LRESULT current = SendMessage(list, LB_GETCURSEL);
      if (current >= 0) {
        Current<Announcer>().Announce(static_cast<ListBox*>(list)->EntryText(static_cast<int>(current)), 1);
      }
    } else {
      SayCurrent(moved ? 3 : 1);
    }
    return true;
  }

  std::string m_start;
  bool m_speak;
  std::string m_current;
  std::vector<std::string> m_names;
  std::string m_chosen;
  FolderKeys m_keys{*this};
};

LRESULT FolderKeys::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    switch (wParam) {
      case VK_RIGHT:
        m_dialog.Down();
        return 0;
      case VK_LEFT:
      case VK_BACK:
        m_dialog.Up();
        return 0;
      default:
        break;
    }
  }
  return DefWindowProc(message, wParam, lParam);
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::string& start, const std::string& title,
                     bool speak, std::string& chosen) {
  // The list is not sorted by the control: the chooser puts ".." first and
  // the folders in its own order.
  const DialogTemplate chooser{
      0,
      WideFromLocale(title),
      186,
      255,
      {
          {kFolderText, ControlKind::kStatic, L"", WS_GROUP, 7, 7, 172, 14},
          {kFolderList, ControlKind::kListBox, L"", WS_TABSTOP | LBS_NOTIFY, 7, 24, 172, 200},
          {kStatusText, ControlKind::kStatic, L"", 0, 7, 228, 172, 14},
      }};
  FolderDialog dialog(start, speak);
  if (dialog.DoModal(owner, chooser) != IDOK) return false;
  chosen = dialog.Chosen();
  return true;
}

}  // namespace platform
