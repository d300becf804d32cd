// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken list dialog: what the player hears and what it stores.
#include <gtest/gtest.h>

#include "dialogs/SelectDlg.h"
#include "platform/win/Window.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

// An entry whose keys do what the test says.
class FakeItem : public CListItem {
 public:
  explicit FakeItem(bool deleteResult = true) : CListItem(nullptr), m_result(deleteResult) {}
  bool handleKey(int key) override {
    keys.push_back(key);
    texts.push_back(m_pText ? *m_pText : L"<null>");
    return key == kKeyDelete && m_result;
  }
  std::vector<int> keys;
  std::vector<std::wstring> texts;

 private:
  bool m_result;
};

class SelectDialogTest : public DialogTest {
 protected:
  int Run(const std::wstring& keys) {
    Keys(keys);
    dialog.m_title = "Fruit";
    dialog.m_instructions = "Pick one. ";
    return dialog.DoModal(nullptr);
  }
  void AddFruit() {
    dialog.m_items[L"cherry"] = &cherry;
    dialog.m_items[L"apple"] = &apple;
    dialog.m_items[L"Banana"] = &banana;
  }
  CSelectDlg dialog;
  FakeItem apple, banana, cherry;
  const std::string intro =
      "There are 3 entries in the list. Use arrow keys to hear entries. Hit enter to select. "
      "Hit escape to close. Pick one. ";
};

TEST_F(SelectDialogTest, OpeningSpeaksTheIntroductionButNotTheFirstEntry) {
  AddFruit();
  EXPECT_EQ(Run(L"<Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 " + intro, "2 "}));
  EXPECT_EQ(dialog.m_selectedText, L"apple");  // sorted with case ignored
  EXPECT_EQ(dialog.m_selectedItem, &apple);
  ASSERT_FALSE(m_io->LastFrame().lines.empty());
  EXPECT_NE(m_io->LastFrame().lines[0].text.find(L"Fruit"), std::wstring::npos);
  EXPECT_TRUE(LogHas("Initilizing Select Dialog"));
  CSelectDlg another;
  EXPECT_TRUE(LogHas("Created Selection Dialog"));
}

TEST_F(SelectDialogTest, TheFirstDownSaysWhereTheCursorStandsTheNextMoves) {
  AddFruit();
  Facade().setFlags(0);  // no introduction, no stop; entries still spoken
  EXPECT_EQ(Run(L"<Down><Down><Down><Down><Up><Up><Up><Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 apple", "19 Banana", "19 cherry",
                                                "19 Banana", "19 apple"}));
  EXPECT_EQ(dialog.m_selectedText, L"apple");
}

TEST_F(SelectDialogTest, ALetterSkipsAheadAndSpaceSpells) {
  AddFruit();
  Facade().setFlags(0);
  EXPECT_EQ(Run(L"c<Space><Down><Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 cherry", "19 c.h.e.r.r.y."}));
  EXPECT_EQ(dialog.m_selectedText, L"cherry");
}

TEST_F(SelectDialogTest, EscapeAfterInsertLeavesAnEmptyChoice) {
  AddFruit();
  EXPECT_EQ(Run(L"<Down><Down><Ins><Esc>"), 2);
  EXPECT_EQ(banana.keys, std::vector<int>{kKeyInsert});
  EXPECT_EQ(banana.texts, std::vector<std::wstring>{L"Banana"});
  EXPECT_TRUE(dialog.m_selectedText.empty());
  EXPECT_EQ(dialog.m_selectedItem, nullptr);
}

TEST_F(SelectDialogTest, DeleteRemovesTheEntryWhenItSaysSoAndLeavesNoneCurrent) {
  AddFruit();
  FakeItem keeper(false);
  dialog.m_items[L"date"] = &keeper;
  EXPECT_EQ(Run(L"<Down><Del><Down><Down><Down><Del><Enter>"), 1);
  // apple went; then the cursor was nowhere, Down went to the first entry
  // (Banana), on to cherry and to date, which refused to go.
  EXPECT_EQ(dialog.m_items.count(L"apple"), 0u);
  EXPECT_EQ(apple.keys, std::vector<int>{kKeyDelete});
  EXPECT_EQ(keeper.keys, std::vector<int>{kKeyDelete});
  EXPECT_EQ(dialog.m_items.size(), 3u);
  EXPECT_EQ(dialog.m_selectedText, L"date");
}

TEST_F(SelectDialogTest, EnterAfterADeleteGivesAnEmptyChoice) {
  AddFruit();
  EXPECT_EQ(Run(L"<Del><Enter>"), 1);
  EXPECT_TRUE(dialog.m_selectedText.empty());
  EXPECT_EQ(dialog.m_selectedItem, nullptr);
}

TEST_F(SelectDialogTest, AnEmptyListSaysZeroEntriesAndNothingMore) {
  EXPECT_EQ(Run(L"<Down><Space><Enter>"), 1);
  EXPECT_EQ(Spoken()[0], "19 There are 0 entries in the list. Use arrow keys to hear "
                         "entries. Hit enter to select. Hit escape to close. Pick one. ");
  EXPECT_EQ(Spoken().size(), 2u);  // and the stop at the close
  EXPECT_TRUE(dialog.m_selectedText.empty());
}

// Heard before chosen: the opening says the entry under the cursor after
// the introduction, and an entry the player may not have heard yet is said
// by Enter rather than chosen.
TEST_F(SelectDialogTest, HeardFirstTheEntryFollowsTheIntroductionAndTheFirstEnterSaysIt) {
  AddFruit();
  dialog.m_heardBeforeChosen = true;
  EXPECT_EQ(Run(L"<Enter><Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 " + intro, "17 apple", "19 apple", "2 "}));
  EXPECT_EQ(dialog.m_selectedText, L"apple");
  EXPECT_EQ(dialog.m_selectedItem, &apple);
}

TEST_F(SelectDialogTest, HeardFirstAnEntryTheCursorReachedIsChosenByOneEnter) {
  AddFruit();
  dialog.m_heardBeforeChosen = true;
  // The cursor is known from the opening: the first Down moves.
  EXPECT_EQ(Run(L"<Down><Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 " + intro, "17 apple", "19 Banana", "2 "}));
  EXPECT_EQ(dialog.m_selectedText, L"Banana");
}

TEST_F(SelectDialogTest, HeardFirstALetterOnTheCurrentEntrySaysItSoEnterChoosesIt) {
  AddFruit();
  dialog.m_heardBeforeChosen = true;
  EXPECT_EQ(Run(L"a<Enter>"), 1);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 " + intro, "17 apple", "19 apple", "2 "}));
  EXPECT_EQ(dialog.m_selectedText, L"apple");
}

TEST_F(SelectDialogTest, HeardFirstWithoutAnIntroductionTheEntryIsSaidAtOnce) {
  AddFruit();
  Facade().setFlags(0);
  dialog.m_heardBeforeChosen = true;
  EXPECT_EQ(Run(L"<Enter><Esc>"), 2);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 apple", "19 apple"}));
  EXPECT_TRUE(dialog.m_selectedText.empty());
}

TEST_F(SelectDialogTest, HeardFirstAnEmptyListClosesOnTheFirstEnter) {
  dialog.m_heardBeforeChosen = true;
  EXPECT_EQ(Run(L"<Enter>"), 1);
  EXPECT_EQ(Spoken().size(), 2u);  // the introduction, the stop at the close
  EXPECT_TRUE(dialog.m_selectedText.empty());
}

TEST_F(SelectDialogTest, EntriesBeyondLatin1AreShownAndChosenWhole) {
  FakeItem greek;
  dialog.m_items[L"\u03bb\u03c5\u03c7\u03bd\u03bf\u03c2"] = &greek;
  dialog.m_items[L"\U0001F600 smile"] = &apple;
  EXPECT_EQ(Run(L"<Down><Enter>"), 1);
  EXPECT_EQ(dialog.m_selectedText, L"\u03bb\u03c5\u03c7\u03bd\u03bf\u03c2");
}

TEST_F(SelectDialogTest, AnEntryOfTenThousandCharactersIsShownAndChosenWhole) {
  const std::wstring longText(10000, L'x');
  dialog.m_items[longText] = &apple;
  Facade().setFlags(0);
  EXPECT_EQ(Run(L"<Down><Enter>"), 1);
  EXPECT_EQ(dialog.m_selectedText, longText);
  EXPECT_EQ(dialog.m_selectedItem, &apple);
}

TEST_F(SelectDialogTest, ScriptRunningOutCancels) {
  AddFruit();
  EXPECT_EQ(Run(L"<Down>"), 2);
  EXPECT_TRUE(dialog.m_selectedText.empty());
}

TEST_F(SelectDialogTest, TenThousandEntriesOpenAndMove) {
  std::vector<FakeItem> items(10000);
  for (int i = 0; i < 10000; ++i) {
    dialog.m_items[L"entry " + std::to_wstring(100000 + i)] = &items[static_cast<size_t>(i)];
  }
  Facade().setFlags(0);
  EXPECT_EQ(Run(L"<End><PgUp><Down><Enter>"), 1);
  EXPECT_FALSE(dialog.m_selectedText.empty());
}

}  // namespace
