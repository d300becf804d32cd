// SPDX-License-Identifier: GPL-3.0-or-later
// getInput and getDirectory: what is typed, spoken and returned.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/dialogs/DialogTestSupport.h"

namespace {

class InputTest : public DialogTest {
 protected:
  std::wstring Input(const std::wstring& keys, bool clean = false,
                     const std::string& prompt = "Name your save") {
    Keys(keys);
    CTTSWString result(L"untouched");
    Facade().getInput(result, prompt, clean);
    return static_cast<const wchar_t*>(result);
  }
  std::string Directory(const std::wstring& keys, const std::string& start) {
    Keys(keys);
    CTTSString result("untouched");
    Facade().getDirectory(result, start, "Choose");
    return static_cast<const char*>(result);
  }
};

TEST_F(InputTest, EachCompletedWordIsSpokenAndTheTextReturned) {
  Forget();
  EXPECT_EQ(Input(L"take lamp <Enter>"), L"take lamp ");
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 Name your save", "19 take", "19 lamp"}));
}

TEST_F(InputTest, SeveralEndersInARowSayTheWordAgain) {
  Forget();
  Input(L"lamp, <Enter>");
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"19 Name your save", "19 lamp", "19 lamp"}));
}

TEST_F(InputTest, BackspaceSaysTheCharacterItDeletes) {
  Forget();
  EXPECT_EQ(Input(L"cat<Backspace><Enter>"), L"ca");
  EXPECT_EQ(Spoken().back(), "19 t");
  Forget();
  EXPECT_EQ(Input(L"<Backspace><Enter>"), L"");
  EXPECT_EQ(Spoken(), std::vector<std::string>{"19 Name your save"});
}

TEST_F(InputTest, WithoutDialogSpeechNothingIsSaid) {
  Facade().setFlags(1);
  Forget();
  EXPECT_EQ(Input(L"take lamp <Enter>"), L"take lamp ");
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(InputTest, EscapeOrARunOutScriptGivesNothing) {
  EXPECT_EQ(Input(L"take<Esc>"), L"");
  EXPECT_EQ(Input(L"take"), L"");
  EXPECT_EQ(Input(L"take<Tab><Tab><Enter>"), L"");  // Tab to Cancel, Enter presses it
}

TEST_F(InputTest, CleaningMakesAFileName) {
  EXPECT_EQ(Input(L"Tom & Jerry (2)<Enter>", true), L"Tom  and  Jerry _2_");
  EXPECT_EQ(Input(L"a.b-c/d\\e,f<Enter>", true), L"a_b_c_d_e_f");
  EXPECT_EQ(Input(L"a.b-c/d\\e,f<Enter>", false), L"a.b-c/d\\e,f");
}

TEST_F(InputTest, TheFolderChooserGivesWholePaths) {
  const std::string top = DataFile("top");
  mkdir(top.c_str(), 0755);
  mkdir((top + "/alpha").c_str(), 0755);
  mkdir((top + "/beta").c_str(), 0755);
  // Starts in the data folder with "top" selected.
  EXPECT_EQ(Directory(L"<Enter>", top), top);
  EXPECT_EQ(Directory(L"<Right><Down><Down><Enter>", top), top + "/beta");
  // In and out again: Enter on ".." moves up, with the folder come from
  // selected, and Enter then chooses it.
  EXPECT_EQ(Directory(L"<Right><Up><Enter><Enter>", top), top);
  EXPECT_EQ(Directory(L"<Left><Enter>", top), DataDir().substr(0, DataDir().size() - 1));
  EXPECT_EQ(Directory(L"<Esc>", top), "");
  // A long path is never cut.
  std::string deep = top;
  for (int i = 0; i < 40; ++i) {
    deep += "/folder-with-a-rather-long-name-" + std::to_string(i);
    mkdir(deep.c_str(), 0755);
  }
  EXPECT_EQ(Directory(L"<Enter>", deep), deep);
  EXPECT_GT(deep.size(), 260u);
}

TEST_F(InputTest, AFolderThatCannotBeOpenedIsSaidSoAndTheChooserStays) {
  const std::string top = DataFile("top");
  mkdir(top.c_str(), 0755);
  mkdir((top + "/locked").c_str(), 0);  // refused by its permission bits, even to root
  Forget();
  EXPECT_EQ(Directory(L"<Right><Right><Enter>", top), top + "/locked");
  EXPECT_EQ(Spoken(), (std::vector<std::string>{
                          "17 Hit enter to scan this directory for supported games. Or Escape "
                          "to quit.",
                          "17 top", "19 top, 1 folder", "17 locked", "19 locked cannot be opened."}));
}

}  // namespace
