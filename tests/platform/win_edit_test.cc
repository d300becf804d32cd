// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/platform/WinTestSupport.h"
#include "platform/win/Edit.h"

using namespace wintest;

namespace {

class EditTest : public ::testing::Test {
 protected:
  RecordingParent parent;
  Edit edit{&parent, IDC_EDIT, WS_TABSTOP};

  void Type(const std::wstring& text) {
    for (wchar_t ch : text) SendMessage(&edit, WM_CHAR, static_cast<WPARAM>(ch));
  }
  void Key(unsigned key) { SendMessage(&edit, WM_KEYDOWN, key); }
};

TEST_F(EditTest, TypedCharactersGoInAtTheCaret) {
  Type(L"lamp");
  EXPECT_EQ(GetWindowText(&edit), L"lamp");
  EXPECT_EQ(edit.Caret(), 4u);
  Key(VK_HOME);
  Type(L"a ");
  EXPECT_EQ(GetWindowText(&edit), L"a lamp");
  Key(VK_END);
  Key(VK_LEFT);
  Type(L"-");
  EXPECT_EQ(GetWindowText(&edit), L"a lam-p");
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(edit.Caret(), 7u);
}

TEST_F(EditTest, BackspaceDeletesBeforeTheCaretAndDeleteAfterIt) {
  Type(L"cat");
  Type(L"\b");
  EXPECT_EQ(GetWindowText(&edit), L"ca");
  Key(VK_HOME);
  Type(L"\b");
  EXPECT_EQ(GetWindowText(&edit), L"ca");
  Key(VK_DELETE);
  EXPECT_EQ(GetWindowText(&edit), L"a");
  Key(VK_END);
  Key(VK_DELETE);
  EXPECT_EQ(GetWindowText(&edit), L"a");
}

TEST_F(EditTest, ControlCharactersAreNotText) {
  Type(L"a\r\x1b\tb\x7f\x85");
  EXPECT_EQ(GetWindowText(&edit), L"ab");
}

TEST_F(EditTest, KeepsCharactersBeyondLatin1AndTheBmp) {
  Type(L"\u00e9\u0416\U0001F600");
  EXPECT_EQ(GetWindowText(&edit), L"\u00e9\u0416\U0001F600");
  Type(L"\b");
  EXPECT_EQ(GetWindowText(&edit), L"\u00e9\u0416");
}

TEST_F(EditTest, EveryChangeTellsTheParent) {
  Type(L"ab\b");
  Key(VK_LEFT);
  EXPECT_EQ(parent.notifications, std::vector<Notification>(3, Notification{IDC_EDIT, EN_CHANGE}));
}

TEST_F(EditTest, SettingTheTextPutsTheCaretAtItsEnd) {
  SetWindowText(&edit, L"north");
  EXPECT_EQ(edit.Caret(), 5u);
  SendMessage(&edit, EM_SETSEL, 0, 2);
  Type(L"X");
  EXPECT_EQ(GetWindowText(&edit), L"noXrth");
  const std::wstring longText(10000, L'y');
  SetWindowText(&edit, longText);
  EXPECT_EQ(GetWindowText(&edit), longText);
}

}  // namespace
