// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the window layer's tests: a parent that records what its
// children tell it, a dialog that records its commands, an announcer that
// records what would be said.
#ifndef NARRO_TESTS_PLATFORM_WIN_TEST_SUPPORT_H_
#define NARRO_TESTS_PLATFORM_WIN_TEST_SUPPORT_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/Announcer.h"
#include "platform/win/Dialog.h"
#include "platform/win/ListBox.h"
#include "platform/win/ScriptedDialogIo.h"

namespace wintest {

using namespace platform;

struct Notification {
  int id;
  unsigned code;
  bool operator==(const Notification& o) const { return id == o.id && code == o.code; }
};

class RecordingParent : public Window {
 public:
  RecordingParent() : Window(nullptr, 0, 0, L"") {}
  std::vector<Notification> notifications;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) {
      notifications.push_back({static_cast<int>(LOWORD(wParam)), HIWORD(wParam)});
      return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
  }
};

// Records every command, and the list's current entry and the edit's text
// at the moment the dialog is asked to close.
class RecordingDialog : public Dialog {
 public:
  std::function<void(RecordingDialog&)> onInit;
  std::vector<Notification> commands;
  int currentAtClose = -2;
  std::wstring textAtClose;

 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_INITDIALOG && onInit) {
      onInit(*this);
      result = 1;
      return true;
    }
    if (message == WM_COMMAND) {
      const int id = static_cast<int>(LOWORD(wParam));
      commands.push_back({id, HIWORD(wParam)});
      if (id == IDOK || id == IDCANCEL || id == IDC_CANCEL_LIST) {
        currentAtClose = static_cast<int>(SendMessage(GetDlgItem(IDC_LIST), LB_GETCURSEL));
        textAtClose = GetWindowText(GetDlgItem(IDC_EDIT));
        EndDialog(id);
        return true;
      }
    }
    return false;
  }
};

class RecordingAnnouncer : public Announcer {
 public:
  void Announce(const std::wstring& text, int flags) override { said.emplace_back(text, flags); }
  std::vector<std::pair<std::wstring, int>> said;
};

inline void Fill(HWND list, const std::vector<std::wstring>& entries) {
  for (const std::wstring& entry : entries) {
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
}

inline std::wstring EntryText(HWND list, int index) {
  const LRESULT length = SendMessage(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return L"<LB_ERR>";
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

}  // namespace wintest

#endif  // NARRO_TESTS_PLATFORM_WIN_TEST_SUPPORT_H_
