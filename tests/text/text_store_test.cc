// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "text/TextStore.h"
#include "text/Tokenize.h"
#include "tests/support/LibraryFixture.h"

namespace {

using Words = std::vector<std::wstring>;

Words KeysOf(const CTextStore::WordMap& words) {
  Words keys;
  for (const auto& entry : words) keys.push_back(entry.first);
  return keys;
}

TEST(TokenizeTest, GivesTheMaximalRunsAndNoEmptyPieces) {
  EXPECT_EQ(Tokenize(std::wstring(L",,a,b,,c,"), L","), (Words{L"a", L"b", L"c"}));
  EXPECT_TRUE(Tokenize(std::wstring(L""), L",").empty());
  EXPECT_TRUE(Tokenize(std::wstring(L",,,"), L",").empty());
  EXPECT_EQ(Tokenize(std::wstring(L"abc"), L""), (Words{L"abc"}));
  EXPECT_EQ(Tokenize(std::string("C:|x|1"), "|"),
            (std::vector<std::string>{"C:", "x", "1"}));
}

TEST(TextStoreTest, CountsDistinctLowerCaseWordsAndKeepsTheText) {
  CTextStore store;
  EXPECT_EQ(store.AddText(L"Hello, World."), 2);
  EXPECT_EQ(store.Text(), L"Hello, World.\n");
  EXPECT_EQ(store.AddText(L"hello"), 2 + 0);
  EXPECT_EQ(store.Text(), L"Hello, World.\nhello\n");
  EXPECT_EQ(KeysOf(store.Words()), (Words{L"hello", L"world"}));
  EXPECT_EQ(store.AddText(L"again"), 3);
}

TEST(TextStoreTest, ClearTakesEffectAtTheNextText) {
  CTextStore store;
  store.AddText(L"Old words here");
  store.RequestClear();
  EXPECT_EQ(store.Text(), L"Old words here\n");
  EXPECT_EQ(store.Words().size(), 3u);
  EXPECT_EQ(store.AddText(L"Run"), 1);
  EXPECT_EQ(store.Text(), L"Run\n");
  store.RequestClear();
  EXPECT_EQ(store.AddText(L" ,.?:\n"), 0);
  EXPECT_EQ(store.Text(), L" ,.?:\n\n");
  EXPECT_EQ(store.AddText(L""), 0);
  EXPECT_EQ(store.Text(), L" ,.?:\n\n\n");
}

TEST(TextStoreTest, OnlyTheOutputSeparatorsSplitWords) {
  CTextStore store;
  store.AddText(L"Don't shout! one;two a\tb x:y (hi) \"q\" \r-");
  EXPECT_EQ(KeysOf(store.Words()),
            (Words{L"\r-", L"\"q\"", L"(hi)", L"a\tb", L"don't", L"one;two",
                   L"shout!", L"x", L"y"}));
}

TEST(TextStoreTest, ScratchListKeepsOneEntryPerExactWord) {
  CTextStore store;
  EXPECT_EQ(store.AddScratch(L"Lamp"), 1);
  EXPECT_EQ(store.AddScratch(L"Lamp"), 1);
  EXPECT_EQ(store.AddScratch(L""), 2);  // stored like any other word
  EXPECT_FALSE(store.RemoveScratch(L"lamp"));
  EXPECT_FALSE(store.RemoveScratch(L""));  // an empty word is never removed
  EXPECT_TRUE(store.RemoveScratch(L"Lamp"));
  EXPECT_FALSE(store.RemoveScratch(L"Lamp"));
  EXPECT_EQ(store.Scratch().size(), 1u);
}

TEST(TextStoreTest, EntriesPointBackAtTheirStoreAndAreReplacedOnRepeat) {
  CTextStore store;
  store.AddText(L"lamp");
  const auto first = store.Words().at(L"lamp");
  EXPECT_EQ(first->m_pStore, &store);
  EXPECT_EQ(first->m_pPath, nullptr);
  store.AddText(L"LAMP");
  EXPECT_NE(store.Words().at(L"lamp"), first);
  EXPECT_FALSE(store.Words().at(L"lamp")->handleKey(kKeyInsert));
}

TEST(TextStoreTest, LastWordSkipsTrailingEnders) {
  CTextStore store;
  EXPECT_EQ(store.LastWord(L"take lamp "), L"lamp");
  EXPECT_EQ(store.LastWord(L"take lamp  "), L"lamp");
  EXPECT_EQ(store.LastWord(L"x, y."), L"y");
  EXPECT_EQ(store.LastWord(L" "), L"");
  EXPECT_EQ(store.LastWord(L"north:"), L"north:");
}

class BufferTest : public LibraryTest {};

TEST_F(BufferTest, NarrowAndWideOutputReachTheSameStore) {
  StartLibrary();
  CNarro& narro = Facade();
  EXPECT_EQ(narro.AddToBuffer(CTTSString("Cafe open")), 2);
  EXPECT_EQ(narro.AddToBuffer(CTTSWString(L"CAFE")), 2);  // the same word
  narro.ClearBuffer();
  EXPECT_EQ(narro.AddToBuffer(CTTSWString(L"Run")), 1);
}

}  // namespace

// A game printing for hours between two commands: the store keeps its
// latest text from a line's start, and a bounded word list.
TEST(TextStoreBoundsTest, HoursOfTextKeepTheLatestAndABoundedWordList) {
  CTextStore store;
  int words = 0;
  for (int i = 0; i < 120000; ++i) words = store.AddText(L"line w" + std::to_wstring(i) + L" of the flood");
  EXPECT_LE(store.Text().size(), CTextStore::kTextLimit + CTextStore::kTextLimit / 4);
  EXPECT_GE(store.Text().size(), CTextStore::kTextLimit);
  EXPECT_EQ(store.Text().rfind(L"line w119999 of the flood\n"), store.Text().size() - 26);
  EXPECT_EQ(store.Text().find(L"line "), 0u);
  EXPECT_EQ(static_cast<size_t>(words), CTextStore::kWordLimit);
  // The words of the story's own vocabulary, seen first, stay.
  EXPECT_EQ(store.Words().count(L"flood"), 1u);
}
