// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "tests/platform/WinTestSupport.h"
#include "tests/support/ChildProcess.h"

using namespace wintest;

namespace {

int RunDialog(RecordingDialog& dialog, const std::wstring& keys, int resource = IDD_SELECT) {
  ScriptedDialogIo io(keys);
  ScopedDialogIo replaced(io);
  return dialog.DoModal(nullptr, resource);
}

void FillFruit(RecordingDialog& dialog) {
  HWND list = dialog.GetDlgItem(IDC_LIST);
  Fill(list, {L"cherry", L"apple", L"banana"});
  SendMessage(list, LB_SETCURSEL, 0);
}

// Sees the list's messages first, as the spoken list does: keeps a record
// of the reflected notifications and turns a typed Enter into an Enter
// key-down posted to the dialog.
class ListSpy : public Subclass {
 public:
  std::vector<unsigned> reflected;
  std::vector<unsigned> keys;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == OCM_COMMAND) {
      reflected.push_back(HIWORD(wParam));
      return 0;
    }
    if (message == WM_KEYDOWN) keys.push_back(static_cast<unsigned>(wParam));
    return DefWindowProc(message, wParam, lParam);
  }
};

class ReflectingDialog : public RecordingDialog {
 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (RecordingDialog::DialogProc(message, wParam, lParam, result)) return true;
    return ReflectNotifications(message, wParam, lParam, result);
  }
};

TEST(DialogTest, EnterEndsTheListDialogWithCommandOne) {
  RecordingDialog dialog;
  dialog.onInit = FillFruit;
  EXPECT_EQ(RunDialog(dialog, L"<Down><Down><Enter>"), IDOK);
  EXPECT_EQ(dialog.currentAtClose, 2);
  EXPECT_EQ(dialog.commands.back(), (Notification{IDOK, BN_CLICKED}));
}

TEST(DialogTest, EscapeEndsWithCommandTwo) {
  RecordingDialog dialog;
  dialog.onInit = FillFruit;
  EXPECT_EQ(RunDialog(dialog, L"<Down><Esc><Enter>"), IDCANCEL);
  EXPECT_EQ(dialog.currentAtClose, 1);
}

TEST(DialogTest, TheListHasTheFocusAndItsNotificationsAreReflected) {
  ReflectingDialog dialog;
  ListSpy spy;
  dialog.onInit = [&](RecordingDialog& d) {
    FillFruit(d);
    spy.SubclassWindow(d.GetDlgItem(IDC_LIST));
  };
  EXPECT_EQ(RunDialog(dialog, L"<Down>b<Up><Up><Home><Enter>"), IDOK);
  EXPECT_EQ(spy.reflected, (std::vector<unsigned>{LBN_SELCHANGE, LBN_SELCHANGE}));
  EXPECT_EQ(spy.keys, (std::vector<unsigned>{VK_DOWN, 'B', VK_UP, VK_UP, VK_HOME}));
  EXPECT_EQ(dialog.currentAtClose, 0);
  EXPECT_EQ(spy.m_hWnd, nullptr);  // the list went with the dialog
}

TEST(DialogTest, AnEnterKeyDownPostedToTheDialogAccepts) {
  RecordingDialog dialog;
  dialog.onInit = [](RecordingDialog& d) { PostMessage(&d, WM_KEYDOWN, VK_RETURN); };
  EXPECT_EQ(RunDialog(dialog, L""), IDOK);
}

TEST(DialogTest, InputDialogTypesIntoTheEditAndTabsToTheButtons) {
  RecordingDialog dialog;
  EXPECT_EQ(RunDialog(dialog, L"take lamp<Backspace>p<Enter>", IDD_INPUT), IDOK);
  EXPECT_EQ(dialog.textAtClose, L"take lamp");

  RecordingDialog tabbed;
  EXPECT_EQ(RunDialog(tabbed, L"north<Tab><Tab><Enter>", IDD_INPUT), IDCANCEL);
  EXPECT_EQ(tabbed.textAtClose, L"north");

  RecordingDialog spaced;
  EXPECT_EQ(RunDialog(spaced, L"x<Tab><Space>", IDD_INPUT), IDOK);  // Space presses OK

  RecordingDialog round;  // edit, OK, Cancel, and round to the edit
  EXPECT_EQ(RunDialog(round, L"a<Tab><Tab><Tab>b<Enter>", IDD_INPUT), IDOK);
  EXPECT_EQ(round.textAtClose, L"ab");
}

TEST(DialogTest, ArrowsOnAButtonMoveBetweenButtonsWithoutWrapping) {
  RecordingDialog dialog;
  EXPECT_EQ(RunDialog(dialog, L"<Tab><Right><Right><Enter>", IDD_INPUT), IDCANCEL);
  RecordingDialog back;
  EXPECT_EQ(RunDialog(back, L"<Tab><Tab><Left><Enter>", IDD_INPUT), IDOK);
}

// Keys given one by one, for what a script cannot say (Shift-Tab).
class ListedKeys : public DialogIo {
 public:
  explicit ListedKeys(std::vector<KeyEvent> keys) : m_keys(std::move(keys)) {}
  bool Open() override { return true; }
  void Show(Dialog&) override {}
  bool NextKey(KeyEvent& key) override {
    if (m_next >= m_keys.size()) return false;
    key = m_keys[m_next++];
    return true;
  }
  void Close() override {}

 private:
  std::vector<KeyEvent> m_keys;
  size_t m_next = 0;
};

TEST(DialogTest, ShiftTabMovesBackRoundToTheLastTabStop) {
  const KeyEvent shiftTab{KeyEvent::kKey, VK_TAB, L'\t', true};
  const KeyEvent enter{KeyEvent::kKey, VK_RETURN, L'\r', false};
  ListedKeys keys({{KeyEvent::kKey, 'A', L'a', false}, shiftTab, enter});
  ScopedDialogIo replaced(keys);
  RecordingDialog dialog;
  EXPECT_EQ(dialog.DoModal(nullptr, IDD_INPUT), IDCANCEL);  // from the edit round to Cancel
  EXPECT_EQ(dialog.textAtClose, L"a");
}

TEST(DialogTest, TheActiveWindowIsTheDialogOnTop) {
  EXPECT_EQ(GetActiveWindow(), nullptr);
  HWND seen = nullptr;
  RecordingDialog dialog;
  dialog.onInit = [&](RecordingDialog&) { seen = GetActiveWindow(); };
  RunDialog(dialog, L"<Enter>");
  EXPECT_EQ(seen, &dialog);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(DialogTest, RunningOutOfKeysCancels) {
  RecordingDialog dialog;
  dialog.onInit = FillFruit;
  EXPECT_EQ(RunDialog(dialog, L"<Down>"), IDCANCEL);
  EXPECT_EQ(dialog.commands, (std::vector<Notification>{{IDC_LIST, LBN_SELCHANGE},
                                                        {IDCANCEL, BN_CLICKED}}));
}

TEST(DialogTest, CtrlCCancels) {
  RecordingDialog dialog;
  EXPECT_EQ(RunDialog(dialog, L"abc<C-c><Enter>", IDD_INPUT), IDCANCEL);
}

class Stubborn : public Dialog {
 protected:
  bool DialogProc(UINT message, WPARAM, LPARAM, LRESULT&) override {
    return message == WM_COMMAND;  // never ends by itself
  }
};

TEST(DialogTest, ADialogThatIgnoresCancelStillEndsWhenKeysRunOut) {
  Stubborn dialog;
  ScriptedDialogIo io(L"<Esc><Enter>");
  ScopedDialogIo replaced(io);
  EXPECT_EQ(dialog.DoModal(nullptr, IDD_SELECT), IDCANCEL);
  EXPECT_EQ(io.OpenDialogs(), 0);
}

TEST(DialogTest, AnUnknownTemplateCannotBeShown) {
  Dialog dialog;
  ScriptedDialogIo io(L"<Enter>");
  ScopedDialogIo replaced(io);
  EXPECT_EQ(dialog.DoModal(nullptr, 999), -1);
}

TEST(DialogTest, ADialogOverADialogTakesTheNextKeysAndGivesTheFocusBack) {
  RecordingDialog outer;
  int innerCode = 0;
  RecordingDialog inner;
  class Opener : public RecordingDialog {
   public:
    std::function<void()> onSpace;

   protected:
    bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
      if (message == WM_COMMAND && LOWORD(wParam) == IDC_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
        onSpace();
        return true;
      }
      return RecordingDialog::DialogProc(message, wParam, lParam, result);
    }
  } opener;
  opener.onInit = FillFruit;
  opener.onSpace = [&] {
    if (innerCode == 0) innerCode = inner.DoModal(&opener, IDD_INPUT);
  };
  ScriptedDialogIo io(L"<Down>word<Enter><Down><Enter>");
  ScopedDialogIo replaced(io);
  EXPECT_EQ(opener.DoModal(nullptr, IDD_SELECT), IDOK);
  EXPECT_EQ(innerCode, IDOK);
  EXPECT_EQ(inner.textAtClose, L"word");
  EXPECT_EQ(opener.currentAtClose, 2);
  EXPECT_EQ(Dialog::Active(), nullptr);
}

TEST(DialogTest, WithoutTerminalOrKeyScriptNoDialogOpens) {
  const ChildOutcome outcome = RunInChild([] {
    setsid();  // no controlling terminal any more
    unsetenv("NARRO_KEYS");
    Dialog dialog;
    return dialog.DoModal(nullptr, IDD_SELECT) == -1 ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
}

TEST(DialogTest, NarroKeysDrivesTheRealDialogsInOrder) {
  const ChildOutcome outcome = RunInChild([] {
    setsid();
    setenv("NARRO_KEYS", "<Down><Enter>ok<Enter>", 1);
    RecordingDialog first;
    first.onInit = FillFruit;
    if (first.DoModal(nullptr, IDD_SELECT) != IDOK || first.currentAtClose != 1) return 1;
    RecordingDialog second;
    if (second.DoModal(nullptr, IDD_INPUT) != IDOK || second.textAtClose != L"ok") return 2;
    RecordingDialog third;  // the script is used up
    if (third.DoModal(nullptr, IDD_INPUT) != IDCANCEL) return 3;
    setenv("NARRO_KEYS", "\xc3\xa9<Enter>", 1);  // a new script: é
    RecordingDialog fourth;
    if (fourth.DoModal(nullptr, IDD_INPUT) != IDOK || fourth.textAtClose != L"\u00e9") return 4;
    return 0;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
}

}  // namespace
