// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>

#include "games/GameLibrary.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

class AddNewGameTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
  }
  bool AddNewGame(const std::string& file, const std::string& name) {
    CTTSString fileText(file), nameText(name);
    return Facade().addNewGame(fileText, nameText);
  }
  std::string UserFile() const { return DataFile("User_Fingerprints.xml"); }
  // FullName order, as the file is written.
  std::string UserRecords() const {
    CGameLibrary reread;
    reread.readFingerprintFile(UserFile());
    std::string text;
    for (const GamePtr& game : reread.catalogue.get<ByFullName>()) {
      text += game->FullName + "|" + game->fingerprint + "|" + game->sn + "|" + game->fn +
              "|" + game->warn + "/";
    }
    return text;
  }
};

TEST_F(AddNewGameTest, AddGameFileUpdatesRenamesOrAddsTheRecordOfTheFile) {
  CGameLibrary library;
  AddDemoGames(library.catalogue);
  const std::string cave = DemoFile("cave.z5");
  EXPECT_TRUE(library.addGameFile(cave, false, "unknown"));
  EXPECT_EQ(findGame(library.catalogue, DemoCrc("cave.z5"))->fn, cave);
  EXPECT_EQ(findGame(library.catalogue, DemoCrc("cave.z5"))->FullName, "Cave Quest");

  EXPECT_TRUE(library.addGameFile(cave, false, "Zzz Cave"));
  std::string byName;
  for (const GamePtr& game : library.catalogue.get<ByFullName>()) byName += game->FullName + ";";
  EXPECT_EQ(byName, "Lighthouse;The Tower;Zzz Cave;");

  CGameLibrary empty;
  EXPECT_TRUE(empty.addGameFile(cave, false, "Cave"));
  EXPECT_TRUE(empty.catalogue.empty());
  EXPECT_TRUE(empty.addGameFile(cave, true, "Cave"));
  const GamePtr added = findGame(empty.catalogue, DemoCrc("cave.z5"));
  ASSERT_TRUE(added);
  EXPECT_EQ(added->sn, "250101");
  EXPECT_EQ(added->fn, cave);
  EXPECT_FALSE(added->found);

  // A Glulx story's serial comes from Inform's block after its header.
  EXPECT_TRUE(empty.addGameFile(DemoFile("cave.ulx"), true, "Cave for Glulx"));
  ASSERT_TRUE(findGame(empty.catalogue, DemoCrc("cave.ulx")));
  EXPECT_EQ(findGame(empty.catalogue, DemoCrc("cave.ulx"))->sn, "250101");

  EXPECT_FALSE(empty.addGameFile(DataFile("absent.z5"), true, "X"));
  EXPECT_EQ(empty.lastError.str(), "Could not load file: " + DataFile("absent.z5"));
}

TEST_F(AddNewGameTest, NewGamesGetTrimmedNamesAndUnknownKeepsAnOldName) {
  const std::string cave = DemoFile("cave.z5");
  const std::string tower = DemoFile("tower.z5");
  const std::string crcCave = DemoCrc("cave.z5"), crcTower = DemoCrc("tower.z5");
  EXPECT_TRUE(AddNewGame(cave, "  My  Cave "));
  EXPECT_TRUE(AddNewGame(tower, "unknown"));
  EXPECT_EQ(UserRecords(), "My  Cave|" + crcCave + "|250101|" + cave + "|/unknown|" +
                               crcTower + "|250214|" + tower + "|/");
  CopyFile(cave, DataFile("moved/cave.z5"));
  EXPECT_TRUE(AddNewGame(DataFile("moved/cave.z5"), "unknown"));
  EXPECT_TRUE(AddNewGame(tower, "   "));
  EXPECT_EQ(UserRecords(), "|" + crcTower + "|250214|" + tower + "|/My  Cave|" + crcCave +
                               "|250101|" + DataFile("moved/cave.z5") + "|/");
}

TEST_F(AddNewGameTest, AHandEditedFileComesBackInNameOrderWithEveryAttribute) {
  WriteFile(UserFile(),
            "<games>\n<!-- mine -->\n"
            "<supported_game fingerprint=\"0000000B\" FullName=\"Zebra\" sn=\"2\"/>\n"
            "<supported_game fingerprint=\"0000000A\" FullName=\"Aardvark\" sn=\"1\" "
            "warn=\"Slow\"/>\n</games>\n");
  EXPECT_TRUE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  EXPECT_EQ(UserRecords(), "Aardvark|0000000A|1|unknown|Slow/Cave|" + DemoCrc("cave.z5") +
                               "|250101|" + DemoFile("cave.z5") + "|/Zebra|0000000B|2|unknown|/");
  EXPECT_EQ(ReadFile(UserFile()).find("mine"), std::string::npos);
}

TEST_F(AddNewGameTest, AnUnreadableUserFileIsKeptBesideTheNewOne) {
  const std::string broken = "<games><supported_game fingerprint=\"0000000A\"";
  WriteFile(UserFile(), broken);
  EXPECT_TRUE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  EXPECT_EQ(UserRecords(), "Cave|" + DemoCrc("cave.z5") + "|250101|" + DemoFile("cave.z5") + "|/");
  EXPECT_EQ(ReadFile(UserFile() + ".broken"), broken);
  EXPECT_TRUE(LogHas("Kept unreadable " + UserFile() + " as " + UserFile() + ".broken"));

  WriteFile(UserFile(), "<nogames/>");
  EXPECT_TRUE(AddNewGame(DemoFile("tower.z5"), "Tower"));
  EXPECT_EQ(ReadFile(UserFile() + ".broken"), broken);
  EXPECT_EQ(ReadFile(UserFile() + ".broken-2"), "<nogames/>");
  EXPECT_EQ(UserRecords(), "Tower|" + DemoCrc("tower.z5") + "|250214|" + DemoFile("tower.z5") + "|/");
}

TEST_F(AddNewGameTest, NothingIsWrittenForAFileThatCannotBeRead) {
  EXPECT_FALSE(AddNewGame(DataFile("absent.z5"), "Absent"));
  EXPECT_FALSE(FileExists(UserFile()));
  EXPECT_FALSE(FileExists(UserFile() + ".broken"));
}

TEST_F(AddNewGameTest, ADatabaseThatCannotBeWrittenIsReportedAsAFailure) {
  WriteFile(DataFile("plain-file"), "");
  setenv("NARRO_DATA_DIR", DataFile("plain-file/sub").c_str(), 1);
  EXPECT_FALSE(AddNewGame(DemoFile("cave.z5"), "Cave"));
}

}  // namespace
