// SPDX-License-Identifier: GPL-3.0-or-later
// A small host of the window layer for the terminal tests and benchmarks:
// shows one dialog in the real terminal and writes what came of it to a
// file (the terminal itself belongs to the dialog).
//
//   narro_win_demo list N [--out FILE]        a list of N entries; Delete
//                                             asks in a box whether to
//                                             remove the current one
//   narro_win_demo box [--out FILE]           a Yes/No/Cancel box
//   narro_win_demo input [--out FILE]         dialog 101
//   narro_win_demo host-curses N [--out FILE] a host that runs curses itself
//                                             shows a list over its screen
#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include <signal.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/locale/TextEncoding.h"
#include "platform/win/Dialog.h"
#include "platform/win/ListBox.h"
#include "platform/win/MessageBox.h"

using namespace platform;

namespace {

// Sees the list's keys first, as the spoken list does: Delete asks in a box
// over the dialog and removes the current entry when the answer is Yes.
class DeleteAsks : public Subclass {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
      const LRESULT current = SendMessage(m_hWnd, LB_GETCURSEL);
      if (current >= 0 &&
          MessageBox(GetParent(m_hWnd), "Remove this entry? Y or N", "Remove", MB_YESNO) == IDYES) {
        SendMessage(m_hWnd, LB_DELETESTRING, static_cast<WPARAM>(current));
      }
      return 0;
    }
    return DefWindowProc(message, wParam, lParam);
  }
};

class ListDemo : public Dialog {
 public:
  explicit ListDemo(int count) : m_count(count) {}
  std::wstring chosen;

 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    HWND list = GetDlgItem(IDC_LIST);
    if (message == WM_INITDIALOG) {
      SetWindowText(this, L"Demo list");
      SetWindowText(GetDlgItem(IDC_INSTRUCTIONS),
                    L"There are " + std::to_wstring(m_count) + L" entries in the list.");
      for (int i = 1; i <= m_count; ++i) {
        wchar_t text[32];
        std::swprintf(text, 32, L"entry %05d", i);
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      }
      SendMessage(list, LB_SETCURSEL, 0);
      m_deleteAsks.SubclassWindow(list);
      result = 1;
      return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) != IDC_LIST) {
      const int current = static_cast<int>(SendMessage(list, LB_GETCURSEL));
      if (current >= 0) chosen = static_cast<ListBox*>(list)->EntryText(current);
      EndDialog(static_cast<int>(LOWORD(wParam)));
      return true;
    }
    return false;
  }

 private:
  int m_count;
  DeleteAsks m_deleteAsks;
};

// The handlers of the signals curses takes over while it runs.
std::string SignalHandlers() {
  std::string handlers;
  for (int signal : {SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGWINCH}) {
    struct sigaction action{};
    sigaction(signal, nullptr, &action);
    handlers += action.sa_handler == SIG_DFL ? 'd' : action.sa_handler == SIG_IGN ? 'i' : 'h';
  }
  return handlers;
}

void Report(const char* path, int code, const std::wstring& text) {
  if (path == nullptr) return;
  std::ofstream out(path);
  out << "code=" << code << " text=" << platform::Utf8FromWide(text) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s list N | box | input | host-curses N [--out FILE]\n", argv[0]);
    return 2;
  }
  const std::string what = argv[1];
  const std::string handlersBefore = SignalHandlers();
  const char* out = nullptr;
  int count = 10;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      out = argv[++i];
    } else {
      count = std::atoi(argv[i]);
    }
  }
  if (what == "list") {
    ListDemo dialog(count);
    const int code = dialog.DoModal(nullptr, IDD_SELECT);
    Report(out, code, dialog.chosen);
  } else if (what == "box") {
    Report(out, MessageBox(nullptr, "Save the game first?", "Quit", MB_YESNOCANCEL), L"");
  } else if (what == "input") {
    class Input : public Dialog {
     public:
      std::wstring typed;

     protected:
      bool DialogProc(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
          typed = GetWindowText(GetDlgItem(IDC_EDIT));
          EndDialog(static_cast<int>(LOWORD(wParam)));
          return true;
        }
        return false;
      }
    } dialog;
    const int code = dialog.DoModal(nullptr, IDD_INPUT);
    Report(out, code, dialog.typed);
  } else if (what == "host-curses") {
    initscr();
    mvaddstr(3, 2, "HOST SCREEN");
    refresh();
    ListDemo dialog(count);
    const int code = dialog.DoModal(nullptr, IDD_SELECT);
    Report(out, code, dialog.chosen);
    mvaddstr(4, 2, "host goes on");
    refresh();
    getch();
    endwin();
  } else {
    return 2;
  }
  // The host's signal handling is its own again (curses' host keeps its own).
  if (what != "host-curses" && SignalHandlers() != handlersBefore) return 3;
  return 0;
}
