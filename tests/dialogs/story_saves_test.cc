// SPDX-License-Identifier: GPL-3.0-or-later
// getSaves: the saved-games list of the story a host runs, over real story
// files and real saved games, in the folders getSaveFile chooses, driven
// by key scripts and heard through real speech.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/dialogs/DialogTestSupport.h"
#include "tests/games/GameTestData.h"
#include "tests/support/ChildProcess.h"

namespace {

const char kSavesIntro[] =
    "19 There are %d entries in the list. Use arrow keys to hear entries. Hit enter to select. "
    "Hit escape to close. Use up and down arrow keys to navigate, enter to load a game, delete "
    "to delete a game, escape to exit. You may also use the first letter of a game to skip "
    "ahead. ";

class StorySavesTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    CopyFile(NARRO_SHIPPED_FINGERPRINTS, DataFile("fingerprints.xml"));
    CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  }
  void TearDown() override {
    chmod(Games().c_str(), 0755);
    DialogTest::TearDown();
  }
  std::wstring Saves(const std::wstring& keys, const std::string& story,
                     const char* saveExts = ".sav") {
    Keys(keys);
    CTTSWString result(L"untouched");
    Facade().getSaves(result, CTTSString(story), saveExts);
    return static_cast<const wchar_t*>(result);
  }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
  // A real saved game of the story, named as the host names saves.
  std::string SaveOf(const std::string& folder, const std::string& stem,
                     const std::string& crc, const std::string& save = "cave-hall.qzl") {
    const std::string path = folder + stem + "_%" + crc + "%_.sav";
    CopyFile(DemoFile(save), path);
    return path;
  }
  std::string CaveSave(const std::string& folder, const std::string& stem) {
    return SaveOf(folder, stem, DemoCrc("cave.z5"));
  }
  static std::wstring Wide(const std::string& text) { return CNarro::ASCII_To_UC8(text); }
  static std::string Intro(int entries) {
    char text[512];
    snprintf(text, sizeof text, kSavesIntro, entries);
    return text;
  }
  bool Heard(const std::string& line) {
    const std::vector<std::string> spoken = Spoken();
    return std::find(spoken.begin(), spoken.end(), line) != spoken.end();
  }
};

TEST_F(StorySavesTest, SavesBesideTheStoryAndInTheDataFolderAreListedByName) {
  const std::string hall = CaveSave(Games(), "hall");
  const std::string lake = CaveSave(DataFile("saves/"), "lake");
  const std::string deep = CaveSave(Games("old/"), "deep");
  // Not this story's: another story's save, a save elsewhere, and a save
  // tagged for this story whose header holds another serial.
  SaveOf(Games(), "top", DemoCrc("tower.z5"), "tower-top.qzl");
  CaveSave(DataFile("elsewhere/"), "far");
  SaveOf(Games(), "forged", DemoCrc("cave.z5"), "tower-top.qzl");

  Forget();
  EXPECT_EQ(Saves(L"l<Enter>", Games("cave.z5")), Wide(lake));
  EXPECT_EQ(Spoken().at(0), Intro(3));
  EXPECT_TRUE(Heard("19 lake"));
  Forget();
  // The opening says the first entry, deep, behind the introduction; the
  // first Down moves on to hall.
  EXPECT_EQ(Saves(L"<Down><Enter>", Games("cave.z5")), Wide(hall));
  EXPECT_EQ(Spoken().at(1), "17 deep");
  EXPECT_TRUE(Heard("19 hall"));
  Forget();
  // Enter at once says deep again rather than choosing it unheard; the
  // next Enter chooses it.
  EXPECT_EQ(Saves(L"<Enter>", Games("cave.z5")), L"");
  EXPECT_EQ(Spoken(), (std::vector<std::string>{Intro(3), "17 deep", "19 deep", "2 "}));
  EXPECT_EQ(Saves(L"<Enter><Enter>", Games("cave.z5")), Wide(deep));
  EXPECT_EQ(Saves(L"h<Esc>", Games("cave.z5")), L"");
  // Only the saves extensions given count.
  EXPECT_EQ(Saves(L"h<Enter>", Games("cave.z5"), ".qzl"), L"");
  EXPECT_EQ(Saves(L"h<Enter>", Games("cave.z5"), nullptr), L"");
}

TEST_F(StorySavesTest, DeleteRemovesTheSaveAfterAYes) {
  const std::string hall = CaveSave(Games(), "hall");
  const std::string lake = CaveSave(DataFile("saves/"), "lake");
  Forget();
  EXPECT_EQ(Saves(L"h<Del>n<Esc>", Games("cave.z5")), L"");
  EXPECT_TRUE(FileExists(hall));
  // The question names the save; Escape answers No.
  EXPECT_TRUE(Heard("19 Delete the saved game hall? Y or N"));
  EXPECT_TRUE(Heard("19 Not deleted."));
  EXPECT_EQ(Saves(L"h<Del><Esc><Esc>", Games("cave.z5")), L"");
  EXPECT_TRUE(FileExists(hall));
  EXPECT_EQ(Saves(L"h<Del>y<Enter>", Games("cave.z5")), L"");
  EXPECT_FALSE(FileExists(hall));
  EXPECT_EQ(Saves(L"l<Del>", Games("cave.z5")), L"");  // the script runs out
  EXPECT_TRUE(FileExists(lake));
}

TEST_F(StorySavesTest, NoSavesOpensAnEmptyListAsTheSavedGamesListDoes) {
  Forget();
  EXPECT_EQ(Saves(L"<Enter>", Games("cave.z5")), L"");
  EXPECT_EQ(Spoken().at(0), Intro(0));
  EXPECT_TRUE(LogHas("Scanning for saves: " + Games()));
  EXPECT_TRUE(LogHas("Found [0] saves."));
}

TEST_F(StorySavesTest, AStoryThatCannotBeReadHasNoSavesAndNoFolderIsWalked) {
  CaveSave(Games(), "hall");
  MakeFolders(Games("folder.z5"));
  for (const std::string& story : {Games("absent.z5"), Games("folder.z5"), std::string("/"),
                                   std::string()}) {
    ClearLog();
    Forget();
    EXPECT_EQ(Saves(L"<Enter>", story), L"") << story;
    EXPECT_EQ(Spoken().at(0), Intro(0)) << story;
    EXPECT_TRUE(LogHas("load fail: Could not load file: " + story)) << story;
    EXPECT_TRUE(LogHas("Found [0] saves.")) << story;
    for (const std::string& line : LogLines()) {
      EXPECT_EQ(line.find("Scanning for saves"), std::string::npos) << line;
    }
  }
}

TEST_F(StorySavesTest, AStoryNoDatabaseKnowsStillFindsItsSaves) {
  // The same story with one byte more: its header, and so its serial, is
  // Cave Quest's, its CRC its own.
  WriteFileMaking(Games("mine.z5"), ReadFile(DemoFile("cave.z5")) + "x");
  const std::string mine = SaveOf(Games(), "mine", ZlibCrcText(ReadFile(Games("mine.z5"))));
  CaveSave(Games(), "hall");
  Forget();
  EXPECT_EQ(Saves(L"m<Enter>", Games("mine.z5")), Wide(mine));
  EXPECT_EQ(Spoken().at(0), Intro(1)) << "Cave Quest's save is not mine's";
  EXPECT_FALSE(FileExists(DataFile("User_Fingerprints.xml"))) << "nothing is added";
}

TEST_F(StorySavesTest, WhatGetSaveFileNamesIsListed) {
  CTTSString beside, inData;
  ASSERT_TRUE(Facade().getSaveFile(CTTSString(Games("cave.z5")), CTTSString(" By the lake "),
                                   ".sav", beside));
  CopyFile(DemoFile("cave-hall.qzl"), static_cast<const char*>(beside));
  ASSERT_EQ(chmod(Games().c_str(), 0555), 0);
  ASSERT_TRUE(Facade().getSaveFile(CTTSString(Games("cave.z5")), CTTSString("a/b"), ".sav",
                                   inData));
  CopyFile(DemoFile("cave-hall.qzl"), static_cast<const char*>(inData));
  EXPECT_EQ(Saves(L"B<Enter>", Games("cave.z5")), Wide(static_cast<const char*>(beside)));
  EXPECT_TRUE(Heard("19 By the lake"));
  EXPECT_EQ(Saves(L"a<Enter>", Games("cave.z5")), Wide(static_cast<const char*>(inData)));
}

// No speech here: the child must not share an audio thread with its parent.
class StorySavesWithoutTerminalTest : public LibraryTest {};

TEST_F(StorySavesWithoutTerminalTest, WithoutTerminalOrKeyScriptTheResultIsEmpty) {
  StartLibrary();
  CopyFile(DemoFile("cave.z5"), DataFile("games/cave.z5"));
  CopyFile(DemoFile("cave-hall.qzl"),
           DataFile("games/hall_%" + DemoCrc("cave.z5") + "%_.sav"));
  const ChildOutcome outcome = RunInChild([this] {
    setsid();  // no controlling terminal any more
    unsetenv("NARRO_KEYS");
    CTTSWString result(L"untouched");
    Facade().getSaves(result, CTTSString(DataFile("games/cave.z5")), ".sav");
    return std::wstring(static_cast<const wchar_t*>(result)).empty() ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
}

}  // namespace
