// SPDX-License-Identifier: GPL-3.0-or-later
// getSaveFile: where a host saves a game so that the saved-games lists
// find it, for real demo stories in real folders, and for names and paths a
// careless player or a hostile file system gives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "games/GameLibrary.h"
#include "games/SaveFile.h"
#include "games/SaveScan.h"
#include "tests/games/GameTestData.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LibraryFixture.h"

namespace {

class SaveFileTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  }
  void TearDown() override {
    // Read-only folders would keep the test's folder from being removed.
    chmod(Games().c_str(), 0755);
    LibraryTest::TearDown();
  }
  // The path getSaveFile gives, "false" when it answers false; path starts
  // as "untouched", which a false answer must leave.
  std::string SaveFile(const std::string& story, const std::string& name,
                       const char* extension = ".sav") {
    CTTSString path("untouched");
    if (!Facade().getSaveFile(CTTSString(story), CTTSString(name), extension, path)) {
      EXPECT_STREQ(path, "untouched") << story << " " << name;
      return "false";
    }
    return static_cast<const char*>(path);
  }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
  std::string Tagged(const std::string& name, const std::string& extension = ".sav") const {
    return name + "_%" + DemoCrc("cave.z5") + "%_" + extension;
  }
  static unsigned ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
};

TEST(CleanSaveNameTest, TrimsAndMakesEveryNameOneFileName) {
  EXPECT_EQ(cleanSaveName("  hall  "), "hall");
  EXPECT_EQ(cleanSaveName("\t\r\n hall \r\n"), "hall");
  EXPECT_EQ(cleanSaveName("a/b"), "a_b");
  EXPECT_EQ(cleanSaveName("../../etc/passwd"), ".._.._etc_passwd");
  EXPECT_EQ(cleanSaveName(".."), "..");
  EXPECT_EQ(cleanSaveName("tab\there\x7f" "del"), "tab_here_del");
  EXPECT_EQ(cleanSaveName("100% done, 50%_off"), "100% done, 50%_off");
  EXPECT_EQ(cleanSaveName("a_%b"), "a__b");
  EXPECT_EQ(cleanSaveName("H\xc3\xb6hle \\ back"), "H\xc3\xb6hle \\ back");
  EXPECT_EQ(cleanSaveName(" \t\n "), "");
  EXPECT_EQ(cleanSaveName(""), "");
}

TEST(IsSaveExtensionTest, ADotAndAPlainEnding) {
  EXPECT_TRUE(isSaveExtension(".sav"));
  EXPECT_TRUE(isSaveExtension(".glksave"));
  for (const char* bad : {"", ".", "sav", "./x", ".a%b", ".a%_", ".a\n", "/.sav"}) {
    EXPECT_FALSE(isSaveExtension(bad)) << bad;
  }
}

TEST_F(SaveFileTest, BesideAStoryWhoseFolderCanBeWritten) {
  EXPECT_EQ(SaveFile(Games("cave.z5"), "  hall ", ".glksave"), Games(Tagged("hall", ".glksave")));
  EXPECT_FALSE(FileExists(Games(Tagged("hall", ".glksave")))) << "the host makes the file";
  EXPECT_FALSE(FileExists(DataFile("saves")));
  std::string tag;
  ASSERT_TRUE(crcFromSaveName(SaveFile(Games("cave.z5"), "x_%y"), tag));
  EXPECT_EQ(tag, DemoCrc("cave.z5"));
}

TEST_F(SaveFileTest, NamesNeverLeaveTheFolder) {
  EXPECT_EQ(SaveFile(Games("cave.z5"), "../../escape"), Games(Tagged(".._.._escape")));
  EXPECT_EQ(SaveFile(Games("cave.z5"), ".."), Games(Tagged("..")));
  EXPECT_EQ(SaveFile(Games("cave.z5"), "/etc/x"), Games(Tagged("_etc_x")));
  EXPECT_EQ(SaveFile(Games("cave.z5"), "two\nlines"), Games(Tagged("two_lines")));
}

TEST_F(SaveFileTest, EmptyNamesBadExtensionsAndLongNamesAreRefused) {
  EXPECT_EQ(SaveFile(Games("cave.z5"), ""), "false");
  EXPECT_EQ(SaveFile(Games("cave.z5"), "   \t "), "false");
  for (const char* bad : {"", "sav", ".", ".a/b", ".%_"}) {
    EXPECT_EQ(SaveFile(Games("cave.z5"), "hall", bad), "false") << bad;
  }
  EXPECT_EQ(SaveFile(Games("cave.z5"), "hall", nullptr), "false");
  // The longest name whose file name a file system takes, and one more.
  const size_t longest = NAME_MAX - Tagged("").size();
  EXPECT_EQ(SaveFile(Games("cave.z5"), std::string(longest, 'n')),
            Games(Tagged(std::string(longest, 'n'))));
  EXPECT_EQ(SaveFile(Games("cave.z5"), std::string(longest + 1, 'n')), "false");
}

TEST_F(SaveFileTest, AReadOnlyStoryFolderSendsSavesToTheDataFolder) {
  ASSERT_EQ(chmod(Games().c_str(), 0555), 0);
  EXPECT_EQ(SaveFile(Games("cave.z5"), "hall"), DataFile("saves/" + Tagged("hall")));
  EXPECT_EQ(ModeOf(DataFile("saves")), 0700u);
  // Made once, then used as it is.
  ASSERT_EQ(chmod(DataFile("saves").c_str(), 0750), 0);
  EXPECT_EQ(SaveFile(Games("cave.z5"), "lake"), DataFile("saves/" + Tagged("lake")));
  EXPECT_EQ(ModeOf(DataFile("saves")), 0750u);
  // A saves folder that cannot be written leaves nowhere to save.
  ASSERT_EQ(chmod(DataFile("saves").c_str(), 0500), 0);
  EXPECT_EQ(SaveFile(Games("cave.z5"), "hall"), "false");
  ASSERT_EQ(chmod(DataFile("saves").c_str(), 0700), 0);
  ASSERT_EQ(rmdir(DataFile("saves").c_str()), 0);
  // Nor does a file where the saves folder should be.
  WriteFile(DataFile("saves"), "not a folder");
  EXPECT_EQ(SaveFile(Games("cave.z5"), "hall"), "false");
  EXPECT_EQ(ReadFile(DataFile("saves")), "not a folder");
}

TEST_F(SaveFileTest, StoriesThatCannotBeReadGetNoSaveFile) {
  EXPECT_EQ(SaveFile(Games("absent.z5"), "hall"), "false");
  EXPECT_EQ(SaveFile(Games(), "hall"), "false");  // a folder
  EXPECT_EQ(SaveFile("", "hall"), "false");
  EXPECT_EQ(SaveFile("/dev/null", "hall"), "false");
  CopyFile(DemoFile("cave.z5"), Games("locked.z5"));
  ASSERT_EQ(chmod(Games("locked.z5").c_str(), 0), 0);
  EXPECT_EQ(SaveFile(Games("locked.z5"), "hall"), "false");
  ASSERT_EQ(mkfifo(Games("pipe.z5").c_str(), 0600), 0);
  const ChildOutcome outcome = RunInChild([this] {
    CTTSString path("untouched");
    const bool made = Facade().getSaveFile(CTTSString(Games("pipe.z5")), CTTSString("hall"),
                                           ".sav", path);
    return !made && std::string(path) == "untouched" ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
  EXPECT_FALSE(FileExists(DataFile("saves")));
}

TEST_F(SaveFileTest, ALinkedStorySavesBesideTheLinkAndARelativeOneInTheWorkingFolder) {
  MakeFolders(DataFile("shelf"));
  ASSERT_EQ(symlink(Games("cave.z5").c_str(), DataFile("shelf/cave.z5").c_str()), 0);
  EXPECT_EQ(SaveFile(DataFile("shelf/cave.z5"), "hall"), DataFile("shelf/" + Tagged("hall")));

  char* before = getcwd(nullptr, 0);
  ASSERT_NE(before, nullptr);
  // The working folder as the system spells it, links resolved.
  ASSERT_EQ(chdir(DataDir().c_str()), 0);
  char* here = getcwd(nullptr, 0);
  const std::string fromHere = SaveFile("games/cave.z5", "hall");
  ASSERT_EQ(chdir(Games().c_str()), 0);
  const std::string fromGames = SaveFile("cave.z5", "hall");
  ASSERT_EQ(chdir(before), 0);
  free(before);
  ASSERT_NE(here, nullptr);
  const std::string games = std::string(here) + "/games/";
  free(here);
  EXPECT_EQ(fromHere, games + Tagged("hall"));
  EXPECT_EQ(fromGames, games + Tagged("hall"));
}

TEST_F(SaveFileTest, TheSaveItNamesIsTheStorysInTheSavedGamesScan) {
  const std::string path = SaveFile(Games("cave.z5"), "My save");
  CopyFile(DemoFile("cave-hall.qzl"), path);
  CGameLibrary library;
  library.setExtensions("z5", ".sav");
  AddDemoGames(library.catalogue);
  GameSet saves;
  library.scanSaves(saves, Games());
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ((*saves.begin())->FullName, "My save: Cave Quest");
  EXPECT_EQ((*saves.begin())->fn, path);
}

}  // namespace
