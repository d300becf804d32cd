// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "games/GameLibrary.h"
#include "games/SaveScan.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

TEST(CrcFromSaveNameTest, TheLastTagCountsWhenItEnclosesEightCharacters) {
  std::string tag;
  EXPECT_TRUE(crcFromSaveName("mysave_%BF60EF9D%_.sav", tag));
  EXPECT_EQ(tag, "BF60EF9D");
  EXPECT_TRUE(crcFromSaveName("/g/_%x%_/a_%11111111%_b_%bf60ef9d%_.sav", tag));
  EXPECT_EQ(tag, "bf60ef9d");
  tag = "kept";
  EXPECT_FALSE(crcFromSaveName("a_%1234567%_.sav", tag));
  EXPECT_FALSE(crcFromSaveName("a_%123456789%_.sav", tag));
  EXPECT_FALSE(crcFromSaveName("a_%12345678.sav", tag));
  EXPECT_FALSE(crcFromSaveName("a12345678%_.sav", tag));
  EXPECT_FALSE(crcFromSaveName("%_12345678_%", tag));
  EXPECT_EQ(tag, "kept");
}

TEST(SaveDisplayTextTest, NameWithoutFolderExtensionAndTag) {
  EXPECT_EQ(saveDisplayText("/s/my.game_%AAAAAAAA%_.sav", "Cave"), "my.game: Cave");
  EXPECT_EQ(saveDisplayText("/s/x_%00000000%_y_%AAAAAAAA%_.sav", "Cave"), "x: Cave");
  EXPECT_EQ(saveDisplayText("/s/back\\slash_%AAAAAAAA%_.sav", "Cave"), "back\\slash: Cave");
  EXPECT_EQ(saveDisplayText("plain", "Cave"), "plain: Cave");
}

class SaveScanTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    library.setExtensions("z5,z8", "sav");
    AddDemoGames(library.catalogue);
  }
  std::string Saves(const std::string& name = "") const { return DataFile("saves/" + name); }
  // A real save of a demo story under a name of the test's choosing,
  // optionally with its serial bytes changed.
  std::string Save(const std::string& save, const std::string& name,
                   const std::string& serial = "") {
    std::string contents = ReadFile(DemoFile(save));
    contents.replace(22, serial.size(), serial);
    WriteFileMaking(Saves(name), contents);
    return Saves(name);
  }
  std::string Listed(const GameSet& saves) const {
    std::string text;
    for (const GamePtr& save : saves) {
      if (save->found) text += save->FullName + "=" + save->fn + ";";
    }
    return text;
  }
  CGameLibrary library;
  GameSet saves;
};

TEST_F(SaveScanTest, ASaveTaggedAndStampedForAGameIsListedUnderBothNames) {
  const std::string crc = DemoCrc("cave.z5");
  const std::string path = Save("cave-hall.qzl", "mysave_%" + crc + "%_.sav");
  EXPECT_EQ(library.scanSaves(saves, DataFile("saves")), 1u);
  EXPECT_EQ(Listed(saves), "mysave: Cave Quest=" + path + ";");
  const GamePtr save = *saves.begin();
  EXPECT_EQ(save->fingerprint, "mysave: Cave Quest");
  EXPECT_EQ(save->sn, "250101");
  EXPECT_EQ(save->warn, "");
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{
                "Scanning for saves: " + Saves(), "About to get Serial Num: " + path,
                "CRC PARSE [" + crc + "]", "serial compare: [250101] == [250101]",
                "CRC compare: [" + crc + "] == [" + crc + "]",
                "Found save: mysave: Cave Quest - " + crc + " - 250101",
                "Add save: mysave: Cave Quest - " + crc + " - 250101", "Found [1] saves."}));
}

TEST_F(SaveScanTest, SavesWhoseTagSerialOrEndingDoNotMatchAreLeftOut) {
  const std::string cave = DemoCrc("cave.z5");
  std::string lower = cave;
  for (char& c : lower) c = static_cast<char>(std::tolower(c));
  Save("tower-top.qzl", "tower_%" + cave + "%_.sav");      // another game's serial
  Save("cave-hall.qzl", "lower_%" + lower + "%_.sav");     // tag in lower case
  Save("cave-hall.qzl", "short_%" + cave.substr(1) + "%_.sav");
  Save("cave-hall.qzl", "upper_%" + cave + "%_.SAV");      // ending differs in case
  Save("cave-hall.qzl", "other_%" + cave + "%_.sav", "999999");
  Save("cave-hall.qzl", "zero_%" + cave + "%_.sav", std::string("\0" "50101", 6));
  Save("cave-hall.qzl", "untagged.sav");
  WriteFileMaking(Saves("empty_%" + cave + "%_.sav"), "");
  WriteFileMaking(Saves("notes.txt"), "x");
  EXPECT_EQ(library.scanSaves(saves, Saves()), 9u);
  EXPECT_TRUE(saves.empty());
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("CRC compare", 0) == 0; }),
            2);  // the tower's serial and the lower-case tag got that far
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("CRC PARSE", 0) == 0; }),
            5);
  EXPECT_FALSE(LogHas("About to get Serial Num: " + Saves("upper_%" + cave + "%_.SAV")));
  EXPECT_EQ(lines.back(), "Found [0] saves.");
}

TEST_F(SaveScanTest, OfEqualDisplayTextsTheFirstInWalkOrderIsListed) {
  const std::string crc = DemoCrc("tower.z5");
  const std::string first = Save("tower-top.qzl", "top_%" + crc + "%_.sav");
  Save("tower-top.qzl", "deeper/top_%" + crc + "%_.sav");
  Save("cave-hall.qzl", "deeper/hall_%" + DemoCrc("cave.z5") + "%_.sav");
  EXPECT_EQ(library.scanSaves(saves, Saves()), 3u);
  EXPECT_EQ(Listed(saves), "hall: Cave Quest=" + Saves("deeper/hall_%" + DemoCrc("cave.z5") +
                                                       "%_.sav") +
                               ";top: The Tower=" + first + ";");
}

// emglken's interpreters write Quetzal for both machines; a Glulx save's
// serial is the one inside the story's header that the save begins with.
TEST_F(SaveScanTest, GlulxAndZcodeSavesOfEmglkenAreListedUnderTheirGames) {
  library.setExtensions("z5,ulx", "glksave");
  const std::string ulx = DemoCrc("cave.ulx");
  const std::string z5 = DemoCrc("cave.z5");
  library.catalogue.insert(MakeGame("Cave Quest for Glulx", ulx, "250101"));
  const std::string glulxe = ReadFile(DemoFile("cave-hall-glulxe.glksave"));
  WriteFileMaking(Saves("hall_%" + ulx + "%_.glksave"), glulxe);
  CopyFile(DemoFile("cave-hall-bocfel.glksave"), Saves("z/hall_%" + z5 + "%_.glksave"));
  // Another game's tag, and the right tag on a save whose serial differs.
  WriteFileMaking(Saves("x/other_%" + DemoCrc("tower.z5") + "%_.glksave"), glulxe);
  std::string changed = glulxe;
  changed.replace(20 + 54, 6, "999999");
  WriteFileMaking(Saves("y/changed_%" + ulx + "%_.glksave"), changed);

  EXPECT_EQ(library.scanSaves(saves, Saves()), 4u);
  std::string listed;
  for (const GamePtr& save : saves) listed += save->FullName + "|" + save->sn + ";";
  EXPECT_EQ(listed, "hall: Cave Quest|250101;hall: Cave Quest for Glulx|250101;");
  EXPECT_TRUE(LogHas("Add save: hall: Cave Quest for Glulx - " + ulx + " - 250101"));
  EXPECT_TRUE(LogHas("Add save: hall: Cave Quest - " + z5 + " - 250101"));
  EXPECT_FALSE(LogHas("serial compare: [999999] == [250101]"));
}

// TADS, Hugo and ADRIFT keep no serial in the story nor in the save: the
// CRC tag alone ties a save to its story, also to one an older scan stored
// with the bytes it read at Z-code's place. An empty file is no save.
TEST_F(SaveScanTest, SavesOfFormatsWithoutASerialAreTiedByTheirTag) {
  library.setExtensions("t3,gam", "glksave");
  const std::string t3 = "0A1B2C3D";
  const std::string gam = "4E5F6071";
  library.catalogue.insert(MakeGame("Return to Ditch Day", t3, ""));
  library.catalogue.insert(MakeGame("Ditch Day Drifter", gam, std::string("5373x\x9c", 6)));
  WriteFileMaking(Saves("lab_%" + t3 + "%_.glksave"), std::string("T3-state", 8) + std::string(200, '\x01'));
  WriteFileMaking(Saves("hall_%" + gam + "%_.glksave"), std::string("TADS2 save/g", 12) + std::string(100, 'y'));
  WriteFileMaking(Saves("empty_%" + t3 + "%_.glksave"), "");
  WriteFileMaking(Saves("other_%" + DemoCrc("cave.z5") + "%_.glksave"), std::string(100, 'z'));
  EXPECT_EQ(library.scanSaves(saves, Saves()), 4u);
  std::string listed;
  for (const GamePtr& save : saves) listed += save->FullName + "|" + save->sn + ";";
  EXPECT_EQ(listed, "hall: Ditch Day Drifter|;lab: Return to Ditch Day|;");
}

TEST_F(SaveScanTest, AnEmptyFolderPathScansNothing) {
  EXPECT_EQ(library.scanSaves(saves, ""), 0u);
  EXPECT_TRUE(LogLines().empty());
}

}  // namespace
