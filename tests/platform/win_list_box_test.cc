// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/platform/WinTestSupport.h"

using namespace wintest;

namespace {

class ListBoxTest : public ::testing::Test {
 protected:
  RecordingParent parent;
  ListBox list{&parent, IDC_LIST, LBS_SORT | LBS_NOTIFY | WS_TABSTOP, 5};

  LRESULT Key(unsigned key) { return SendMessage(&list, WM_KEYDOWN, key); }
  LRESULT Char(wchar_t ch) { return SendMessage(&list, WM_CHAR, static_cast<WPARAM>(ch)); }
  int Current() { return static_cast<int>(SendMessage(&list, LB_GETCURSEL)); }
  std::vector<Notification> Changes(size_t count) {
    return std::vector<Notification>(count, Notification{IDC_LIST, LBN_SELCHANGE});
  }
};

TEST_F(ListBoxTest, KeepsEntriesSortedIgnoringCase) {
  EXPECT_EQ(SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"banana")), 0);
  EXPECT_EQ(SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Cherry")), 1);
  EXPECT_EQ(SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"apple")), 0);
  EXPECT_EQ(SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Banana split")), 2);
  EXPECT_EQ(SendMessage(&list, LB_GETCOUNT), 4);
  EXPECT_EQ(EntryText(&list, 0), L"apple");
  EXPECT_EQ(EntryText(&list, 1), L"banana");
  EXPECT_EQ(EntryText(&list, 2), L"Banana split");
  EXPECT_EQ(EntryText(&list, 3), L"Cherry");
  EXPECT_TRUE(parent.notifications.empty());
}

TEST_F(ListBoxTest, EachEntryCarriesItsDataPointerThroughLaterInserts) {
  int cat = 0, ant = 0;
  const LRESULT at = SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"cat"));
  SendMessage(&list, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cat));
  const LRESULT first = SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"ant"));
  SendMessage(&list, LB_SETITEMDATA, static_cast<WPARAM>(first), reinterpret_cast<LPARAM>(&ant));
  EXPECT_EQ(SendMessage(&list, LB_GETITEMDATA, 0), reinterpret_cast<LPARAM>(&ant));
  EXPECT_EQ(SendMessage(&list, LB_GETITEMDATA, 1), reinterpret_cast<LPARAM>(&cat));
}

TEST_F(ListBoxTest, AskingBeyondTheEntriesGivesLbErr) {
  Fill(&list, {L"one"});
  EXPECT_EQ(SendMessage(&list, LB_GETCURSEL), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_GETTEXTLEN, 1), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_GETITEMDATA, 5), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_SETITEMDATA, static_cast<WPARAM>(-1), 1), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_DELETESTRING, 3), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_SETCURSEL, 4), LB_ERR);
  SendMessage(&list, LB_SETCURSEL, 0);
  EXPECT_EQ(SendMessage(&list, LB_SETCURSEL, 7), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_GETCURSEL), 0);  // a wrong index changes nothing
  EXPECT_EQ(SendMessage(&list, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_GETCURSEL), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(L"two")), LB_ERR);
  EXPECT_EQ(SendMessage(&list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(L"ONE")), 0);
}

TEST_F(ListBoxTest, ArrowsMoveWithoutWrappingAndTellTheParent) {
  Fill(&list, {L"a", L"b", L"c"});
  SendMessage(&list, LB_SETCURSEL, 0);
  EXPECT_TRUE(parent.notifications.empty());  // LB_SETCURSEL tells no one
  Key(VK_UP);
  EXPECT_EQ(Current(), 0);
  EXPECT_TRUE(parent.notifications.empty());
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(Current(), 2);
  Key(VK_DOWN);
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(parent.notifications, Changes(2));
  Key(VK_HOME);
  EXPECT_EQ(Current(), 0);
  Key(VK_END);
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(parent.notifications, Changes(4));
}

TEST_F(ListBoxTest, PagesMoveByTheRowsShown) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < 20; ++i) entries.push_back(L"entry " + std::to_wstring(100 + i));
  Fill(&list, entries);
  SendMessage(&list, LB_SETCURSEL, 0);
  Key(VK_NEXT);
  EXPECT_EQ(Current(), 4);  // five rows: the last one shown comes to the top
  EXPECT_EQ(list.Top(), 0);
  Key(VK_NEXT);
  EXPECT_EQ(Current(), 8);
  EXPECT_EQ(list.Top(), 4);
  Key(VK_PRIOR);
  EXPECT_EQ(Current(), 4);
  Key(VK_PRIOR);
  Key(VK_PRIOR);
  EXPECT_EQ(Current(), 0);
  Key(VK_END);
  EXPECT_EQ(Current(), 19);
  EXPECT_EQ(list.Top(), 15);
  Key(VK_NEXT);
  EXPECT_EQ(Current(), 19);
}

TEST_F(ListBoxTest, WithNoCurrentEntryTheFirstKeyGoesToTheTop) {
  Fill(&list, {L"a", L"b"});
  Key(VK_DOWN);
  EXPECT_EQ(Current(), 0);
  EXPECT_EQ(parent.notifications, Changes(1));
}

TEST_F(ListBoxTest, ATypedLetterMovesToTheNextEntryBeginningWithIt) {
  Fill(&list, {L"apple", L"Banana", L"blueberry", L"cherry", L"bean"});
  // apple, Banana, bean, blueberry, cherry
  SendMessage(&list, LB_SETCURSEL, 0);
  Char(L'b');
  EXPECT_EQ(Current(), 1);
  Char(L'B');
  EXPECT_EQ(Current(), 2);
  Char(L'b');
  EXPECT_EQ(Current(), 3);
  Char(L'b');
  EXPECT_EQ(Current(), 1);  // the search goes round to the top
  Char(L'z');
  EXPECT_EQ(Current(), 1);
  Char(L'\r');
  EXPECT_EQ(Current(), 1);
  EXPECT_EQ(parent.notifications, Changes(4));
}

TEST_F(ListBoxTest, TypeAheadFindsLettersBeyondLatin1AndTheBmp) {
  Fill(&list, {L"\u0416uk", L"\U0001F600 smile", L"apple"});
  Char(L'\u0436');  // lower-case zhe finds the capital
  EXPECT_EQ(EntryText(&list, Current()), L"\u0416uk");
  Char(L'\U0001F600');
  EXPECT_EQ(EntryText(&list, Current()), L"\U0001F600 smile");
}

TEST_F(ListBoxTest, DeletingTheCurrentEntryLeavesNoneCurrent) {
  Fill(&list, {L"a", L"b", L"c"});
  SendMessage(&list, LB_SETCURSEL, 1);
  EXPECT_EQ(SendMessage(&list, LB_DELETESTRING, 2), 2);
  EXPECT_EQ(Current(), 1);
  SendMessage(&list, LB_DELETESTRING, 1);
  EXPECT_EQ(Current(), LB_ERR);
  SendMessage(&list, LB_RESETCONTENT);
  EXPECT_EQ(SendMessage(&list, LB_GETCOUNT), 0);
  Key(VK_DOWN);
  EXPECT_EQ(Current(), LB_ERR);
  EXPECT_TRUE(parent.notifications.empty());
}

TEST_F(ListBoxTest, ADoubleClickTellsTheParent) {
  Fill(&list, {L"a"});
  SendMessage(&list, WM_LBUTTONDBLCLK);
  EXPECT_EQ(parent.notifications, (std::vector<Notification>{{IDC_LIST, LBN_DBLCLK}}));
}

TEST_F(ListBoxTest, TenThousandEntriesOfTenThousandCharacters) {
  const std::wstring tail(10000 - 6, L'x');
  for (int i = 0; i < 10000; ++i) {
    const std::wstring text = std::to_wstring(100000 + (i * 7919) % 10000).substr(1) + L"|" + tail;
    SendMessage(&list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  EXPECT_EQ(SendMessage(&list, LB_GETCOUNT), 10000);
  EXPECT_EQ(EntryText(&list, 0).substr(0, 6), L"00000|");
  EXPECT_EQ(EntryText(&list, 9999).size(), 10000u);
  Key(VK_END);
  EXPECT_EQ(Current(), 9999);
}

}  // namespace
