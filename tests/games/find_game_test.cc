// SPDX-License-Identifier: GPL-3.0-or-later
// findGame: a host asks whether the databases know the story it runs, over
// the real demo stories and the shipped database; and what a hostile path
// makes of it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "games/GameLibrary.h"
#include "tests/games/GameTestData.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LibraryFixture.h"

namespace {

class FindGameTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    CopyFile(NARRO_SHIPPED_FINGERPRINTS, DataFile("fingerprints.xml"));
    StartLibrary();
  }
  // The name findGame gives, "false" when it answers false; name starts as
  // "untouched", which a false answer must leave.
  std::string Find(const std::string& file) {
    CTTSString name("untouched");
    if (!Facade().findGame(CTTSString(file), name)) {
      EXPECT_STREQ(name, "untouched") << file;
      return "false";
    }
    return static_cast<const char*>(name);
  }
  bool AddNewGame(const std::string& file, const std::string& name) {
    CTTSString fileText(file), nameText(name);
    return Facade().addNewGame(fileText, nameText);
  }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
};

TEST_F(FindGameTest, TheShippedDatabaseNamesTheDemoStories) {
  EXPECT_EQ(Find(DemoFile("cave.z5")), "Cave Quest");
  EXPECT_EQ(Find(DemoFile("lighthouse.z8")), "Lighthouse");
  // Where the file lies does not matter, only its content.
  CopyFile(DemoFile("tower.z5"), Games("renamed.z8"));
  EXPECT_EQ(Find(Games("renamed.z8")), "The Tower");
}

TEST_F(FindGameTest, ThePlayersDatabaseNamesWhatItAddedAndTheShippedNameWins) {
  WriteFileMaking(Games("mine.z5"), ReadFile(DemoFile("cave.z5")) + "x");
  EXPECT_EQ(Find(Games("mine.z5")), "false");
  ASSERT_TRUE(AddNewGame(Games("mine.z5"), "  My Cave "));
  EXPECT_EQ(Find(Games("mine.z5")), "My Cave");
  // The games list reads the shipped database first, and so does findGame.
  ASSERT_TRUE(AddNewGame(DemoFile("cave.z5"), "Renamed Cave"));
  EXPECT_EQ(Find(DemoFile("cave.z5")), "Cave Quest");
  CGameLibrary library;
  library.setExtensions("z5", "sav");
  library.loadFingerprints(nullptr, 0);
  EXPECT_EQ(findGame(library.catalogue, DemoCrc("cave.z5"))->FullName, "Cave Quest");
}

TEST_F(FindGameTest, WithoutDatabasesNothingIsKnown) {
  unlink(DataFile("fingerprints.xml").c_str());
  EXPECT_EQ(Find(DemoFile("cave.z5")), "false");
  WriteFile(DataFile("fingerprints.xml"), "<games><supported_game");  // broken
  EXPECT_EQ(Find(DemoFile("cave.z5")), "false");
}

TEST_F(FindGameTest, PathsThatAreNoReadableFileAreUnknown) {
  EXPECT_EQ(Find(""), "false");
  EXPECT_EQ(Find(Games("absent.z5")), "false");
  MakeFolders(Games("folder.z5"));
  EXPECT_EQ(Find(Games("folder.z5")), "false");
  EXPECT_EQ(Find("/dev/null"), "false");
  CopyFile(DemoFile("cave.z5"), Games("locked.z5"));
  // Not readable by its bits: refused even to a process running as root.
  ASSERT_EQ(chmod(Games("locked.z5").c_str(), 0), 0);
  EXPECT_EQ(Find(Games("locked.z5")), "false");
  ASSERT_EQ(symlink(Games("absent.z5").c_str(), Games("dangling.z5").c_str()), 0);
  EXPECT_EQ(Find(Games("dangling.z5")), "false");
  // A link to a story is the story.
  ASSERT_EQ(symlink(DemoFile("cave.z5").c_str(), Games("link.z5").c_str()), 0);
  EXPECT_EQ(Find(Games("link.z5")), "Cave Quest");
}

TEST_F(FindGameTest, APipeNamedLikeAStoryNeitherHangsNorIsKnown) {
  MakeFolders(Games());
  ASSERT_EQ(mkfifo(Games("pipe.z5").c_str(), 0600), 0);
  const ChildOutcome outcome = RunInChild([this] {
    CTTSString name("untouched");
    const bool found = Facade().findGame(CTTSString(Games("pipe.z5")), name);
    return !found && std::string(name) == "untouched" ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
}

}  // namespace
