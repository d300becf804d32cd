// SPDX-License-Identifier: GPL-3.0-or-later
// getList over real story files and real saved games, driven by key
// scripts that choose the folder, move through the list and answer boxes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <set>

#include "speech/SpeechTTS.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/games/GameTestData.h"
#include "text/TextStore.h"

namespace {

class ListDriverTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    CopyFile(NARRO_SHIPPED_FINGERPRINTS, DataFile("fingerprints.xml"));
  }
  std::wstring List(if_list_type type, const std::wstring& keys) {
    Keys(keys);
    CTTSWString result(L"untouched");
    Facade().getList(result, type, "z5,z8", "sav");
    return static_cast<const wchar_t*>(result);
  }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
  // A real saved game of cave.z5 under the name the host gives saves.
  std::string CaveSave(const std::string& stem) {
    const std::string path = Games(stem + "_%" + DemoCrc("cave.z5") + "%_.sav");
    CopyFile(DemoFile("cave-hall.qzl"), path);
    return path;
  }
  // The folder chooser starts in the root's parent with the root selected:
  // Right enters the root, Down reaches "games" below "..", Right enters it.
  void StartIn(const std::string& root) { Facade().SetRoot(root.c_str()); }
};

TEST_F(ListDriverTest, OtherTypesShowNothingAndGiveTheEmptyText) {
  EXPECT_EQ(List(static_cast<if_list_type>(5), L"<Enter>"), L"");
  EXPECT_EQ(List(static_cast<if_list_type>(-1), L"<Enter>"), L"");
  EXPECT_EQ(m_io->Showings(), 0);
}

TEST_F(ListDriverTest, WordListGivesTheChosenWordAndEscapeNothing) {
  Facade().AddToBuffer(CTTSString("A lantern and a rope."));
  EXPECT_EQ(List(if_list_words, L"l<Enter>"), L"lantern");
  EXPECT_EQ(List(if_list_words, L"l<Esc>"), L"");
  // Insert copies to the scratch list at once.
  EXPECT_EQ(List(if_list_words, L"r<Ins><Esc>"), L"");
  EXPECT_EQ(List(if_list_scratch, L"<Enter>"), L"rope");
  EXPECT_EQ(List(if_list_scratch, L"<Del><Enter>"), L"");
  EXPECT_EQ(List(if_list_scratch, L"<Enter>"), L"");
}

TEST_F(ListDriverTest, AnEmptyWordListSaysZeroEntries) {
  Forget();
  EXPECT_EQ(List(if_list_words, L"<Enter>"), L"");
  EXPECT_EQ(Spoken().at(0),
            "19 There are 0 entries in the list. Use arrow keys to hear entries. Hit enter "
            "to select. Hit escape to close. Hit space to hear a word spelled. Hit insert to "
            "add it to your scratch list. ");
}

TEST_F(ListDriverTest, VoicesEnterKeepsTheVoiceEscapeUndoesATrial) {
  CSpeechTTS* engine = CSpeechTTS::GetSingletonPtr();
  ASSERT_NE(engine, nullptr);
  ASSERT_GE(engine->Voices().size(), 2u);
  const std::string before = engine->VoiceId();
  // Insert on the second voice tries it, Escape puts the old one back.
  EXPECT_EQ(List(if_list_voices, L"<Down><Down><Ins><Esc>"), CNarro::ASCII_To_UC8(before));
  EXPECT_EQ(engine->VoiceId(), before);
  EXPECT_TRUE(LogHas("Created Selection Dialog"));
  const std::wstring chosen = List(if_list_voices, L"<Down><Down><Enter>");
  EXPECT_FALSE(chosen.empty());
  EXPECT_NE(engine->VoiceId(), before);
}

TEST_F(ListDriverTest, GamesFoundUnderTheChosenFolderAndTheirWarnings) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  CopyFile(DemoFile("tower.z5"), Games("tower.z5"));
  StartIn(Games());
  // The chooser starts with "games" selected; Enter scans it. The list:
  // Cave Quest, The Tower. Cave Quest has no warning.
  EXPECT_EQ(List(if_list_games, L"<Enter>c<Enter>"), CNarro::ASCII_To_UC8(Games("cave.z5")));
  EXPECT_TRUE(LogHas("Looking for Games  " + Games()));
  EXPECT_TRUE(LogHas("Choose " + DataDir() + "games"));
  // The Tower warns: Abort gives nothing, Ignore its path, Retry chooses again.
  EXPECT_EQ(List(if_list_games, L"<Enter>t<Enter>a"), L"");
  EXPECT_EQ(List(if_list_games, L"<Enter>t<Enter>i"), CNarro::ASCII_To_UC8(Games("tower.z5")));
  Forget();
  EXPECT_EQ(List(if_list_games, L"<Enter>t<Enter>r<Enter>c<Enter>"),
            CNarro::ASCII_To_UC8(Games("cave.z5")));
  bool warned = false;
  for (const std::string& line : Spoken()) {
    warned = warned || line == "19 The Tower is a demo story and has no ending. R, to choose "
                               "again, A, to abort. I, to continue.";
  }
  EXPECT_TRUE(warned);
}

// getGames: the folder's list at once, no chooser; its first entry said
// behind the introduction, and the first Enter says it rather than
// choosing it.
TEST_F(ListDriverTest, TheGamesOfAKnownFolderOpenWithoutAChooser) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  CopyFile(DemoFile("tower.z5"), Games("tower.z5"));
  const auto games = [&](const std::wstring& keys) {
    Keys(keys);
    CTTSWString result(L"untouched");
    Facade().getGames(result, CTTSString(Games()), "z5,z8", "sav");
    return std::wstring(static_cast<const wchar_t*>(result));
  };
  Forget();
  EXPECT_EQ(games(L"<Enter><Enter>"), CNarro::ASCII_To_UC8(Games("cave.z5")));
  const std::vector<std::string> spoken = Spoken();
  ASSERT_GE(spoken.size(), 3u);
  EXPECT_EQ(spoken[0].rfind("19 There are 2 entries in the list.", 0), 0u) << spoken[0];
  EXPECT_EQ(spoken[1], "17 Cave Quest");
  EXPECT_EQ(spoken[2], "19 Cave Quest");
  EXPECT_FALSE(LogHas("Choose "));
  // A warning's Retry shows the same folder's list again.
  EXPECT_EQ(games(L"t<Enter>r<Down><Enter>i"), CNarro::ASCII_To_UC8(Games("tower.z5")));
  EXPECT_EQ(games(L"<Esc>"), L"");
}

TEST_F(ListDriverTest, CancellingTheFolderChoiceScansNothing) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  StartIn(Games());
  EXPECT_EQ(List(if_list_games, L"<Esc>"), L"");
  EXPECT_FALSE(FileExists(DataFile("filecache.txt")));
  EXPECT_EQ(List(if_list_saves, L"<Esc>"), L"");
}

TEST_F(ListDriverTest, AnEmptyRootBecomesTheDataFolder) {
  Facade().SetRoot("");
  EXPECT_EQ(List(if_list_games, L"<Esc>"), L"");
  CTTSString root;
  Facade().GetRoot(root);
  EXPECT_EQ(std::string(static_cast<const char*>(root)), DataDir());
}

TEST_F(ListDriverTest, SavedGamesEnterGivesThePathDeleteRemovesTheFile) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  const std::string hall = CaveSave("hall");
  const std::string lake = CaveSave("lake");
  StartIn(Games());
  EXPECT_EQ(List(if_list_saves, L"<Enter>l<Enter>"), CNarro::ASCII_To_UC8(lake));
  // Delete, Yes: the file goes, and Enter right after chooses nothing.
  EXPECT_EQ(List(if_list_saves, L"<Enter>h<Del>y<Enter>"), L"");
  EXPECT_FALSE(FileExists(hall));
  EXPECT_TRUE(FileExists(lake));
  // Delete, No: nothing goes.
  EXPECT_EQ(List(if_list_saves, L"<Enter>l<Del>n<Esc>"), L"");
  EXPECT_TRUE(FileExists(lake));
}

TEST_F(ListDriverTest, NamesThatAreHeardAlikeAreBothListed) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  const std::string latin1 = CaveSave("caf\xE9");
  const std::string utf8 = CaveSave("caf\xC3\xA9");
  const std::string before = setlocale(LC_CTYPE, nullptr);
  ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  StartIn(Games());
  // Enter scans the folder. The list starts on its first entry; "c" skips
  // to the next that starts with it.
  const std::wstring first = List(if_list_saves, L"<Enter><Enter>");
  const std::wstring second = List(if_list_saves, L"<Enter>c<Enter>");
  setlocale(LC_CTYPE, before.c_str());
  const std::set<std::wstring> chosen{first, second};
  EXPECT_EQ(chosen, (std::set<std::wstring>{CNarro::ASCII_To_UC8(latin1),
                                            CNarro::ASCII_To_UC8(utf8)}));
}

TEST_F(ListDriverTest, AScriptThatRunsOutNeverDeletesAnything) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  const std::string hall = CaveSave("hall");
  StartIn(Games());
  EXPECT_EQ(List(if_list_saves, L"<Enter>h<Del>"), L"");
  EXPECT_TRUE(FileExists(hall));
}

}  // namespace
