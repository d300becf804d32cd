// SPDX-License-Identifier: GPL-3.0-or-later
// The narro tool's game commands, run as a user runs them, against the
// fingerprint database that ships beside the tool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/games/GameTestData.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"

namespace {

class NarroToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string tool = NARRO_TOOL;
    CopyFile(tool.substr(0, tool.rfind('/') + 1) + "fingerprints.xml",
             m_data.File("fingerprints.xml"));
  }
  // Exit status; standard output in out.
  int Run(const std::string& arguments, std::string& out) {
    const std::string command = "NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) + " " + NARRO_TOOL +
                                " " + arguments + " 2>" + ShellQuoted(m_data.File("stderr"));
    return RunShellCommand(command, out);
  }
  std::string Games(const std::string& name = "") const { return m_games.File(name); }
  TempDir m_data, m_games;
};

TEST_F(NarroToolTest, CrcPrintsALinePerFileAndFailsForAnUnreadableOne) {
  const std::string cave = DemoFile("cave.z5"), absent = Games("absent.z5");
  std::string out;
  EXPECT_EQ(Run("crc " + ShellQuoted(cave) + " " + ShellQuoted(absent) + " " + ShellQuoted(cave), out), 1);
  const std::string line = DemoCrc("cave.z5") + "\t" + cave + "\n";
  EXPECT_EQ(out, line + line);
  EXPECT_NE(ReadFile(m_data.File("stderr")).find(absent), std::string::npos);
  EXPECT_EQ(Run("crc " + ShellQuoted(cave), out), 0);
  EXPECT_EQ(Run("crc", out), 2);
}

TEST_F(NarroToolTest, TheShippedDatabaseKnowsTheBuiltDemoStories) {
  CopyFile(DemoFile("cave.z5"), Games("Caves/cave.z5"));
  CopyFile(DemoFile("tower.z5"), Games("tower.z5"));
  CopyFile(DemoFile("lighthouse.z8"), Games("deep/er/lighthouse.z8"));
  std::string out;
  ASSERT_EQ(Run("scan " + ShellQuoted(Games()), out), 0);
  // If this fails after an upgrade of inform6, the compiler's output has
  // changed: put the new CRC texts (narro crc) into games/fingerprints.xml.
  EXPECT_EQ(out, "884A2912\tThe Tower\t" + Games("tower.z5") + "\n" +
                     "9AE38DFE\tCave Quest\t" + Games("Caves/cave.z5") + "\n" +
                     "F1F9B61D\tLighthouse\t" + Games("deep/er/lighthouse.z8") + "\n");
  ASSERT_EQ(Run("scan --games z8 " + ShellQuoted(Games()), out), 0);
  EXPECT_EQ(out, "F1F9B61D\tLighthouse\t" + Games("deep/er/lighthouse.z8") + "\n");
}

TEST_F(NarroToolTest, AnAddedGameIsFoundByTheNextScan) {
  WriteFileMaking(Games("mine.z5"), std::string(18, 'h') + "777777 my own story");
  std::string out;
  ASSERT_EQ(Run("add-game " + ShellQuoted(Games("mine.z5")) + " '  My Story '", out), 0);
  ASSERT_EQ(Run("scan " + ShellQuoted(Games()), out), 0);
  EXPECT_EQ(out, ZlibCrcText(ReadFile(Games("mine.z5"))) + "\tMy Story\t" + Games("mine.z5") + "\n");
  EXPECT_EQ(Run("add-game " + ShellQuoted(Games("absent.z5")) + " X", out), 1);
  EXPECT_EQ(Run("add-game " + ShellQuoted(Games("mine.z5")), out), 2);
}

TEST_F(NarroToolTest, SavesListsTheSavedGamesOfKnownGames) {
  const std::string save = Games("saves/hall_%9AE38DFE%_.sav");
  CopyFile(DemoFile("cave-hall.qzl"), save);
  CopyFile(DemoFile("tower-top.qzl"), Games("saves/top_%884A2912%_.qzl"));
  std::string out;
  ASSERT_EQ(Run("saves " + ShellQuoted(Games()) + " --saves sav", out), 0);
  EXPECT_EQ(out, "hall: Cave Quest\t" + save + "\n");
  EXPECT_EQ(Run("saves " + ShellQuoted(Games("absent")), out), 1);
  EXPECT_EQ(Run("saves", out), 2);
  EXPECT_EQ(Run("scan " + ShellQuoted(Games()) + " --bogus x", out), 2);
}

// Unless told otherwise, scan and saves look for every story narro-play
// plays and for its saved games too.
TEST_F(NarroToolTest, ByDefaultEveryFormatNarroPlayPlaysAndItsSavesAreFound) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  CopyFile(DemoFile("cave.ulx"), Games("glulx/cave.ulx"));
  std::string out;
  ASSERT_EQ(Run("add-game " + ShellQuoted(Games("glulx/cave.ulx")) + " 'Cave Quest for Glulx'", out), 0);
  // A TADS 2 header, a Hugo file and an ADRIFT file the user named.
  WriteFileMaking(Games("other/ditch.gam"), std::string("TADS2 bin\x0a\x0d\x1a\0", 13) + "rest");
  WriteFileMaking(Games("other/colossal.hex"), "a Hugo story");
  WriteFileMaking(Games("other/Hamper.taf"), "an ADRIFT story");
  for (const char* name : {"ditch.gam", "colossal.hex", "Hamper.taf"}) {
    ASSERT_EQ(Run("add-game " + ShellQuoted(Games(std::string("other/") + name)) + " " + name, out), 0);
  }
  ASSERT_EQ(Run("scan " + ShellQuoted(Games()), out), 0);
  for (const char* file : {"cave.z5", "glulx/cave.ulx", "other/ditch.gam", "other/colossal.hex", "other/Hamper.taf"}) {
    EXPECT_NE(out.find("\t" + Games(file) + "\n"), std::string::npos) << file << "\n" << out;
  }
  const std::string save = Games("saves/hall_%" + DemoCrc("cave.z5") + "%_.glksave");
  CopyFile(DemoFile("cave-hall-bocfel.glksave"), save);
  ASSERT_EQ(Run("saves " + ShellQuoted(Games()), out), 0);
  EXPECT_EQ(out, "hall: Cave Quest\t" + save + "\n");
}

}  // namespace
