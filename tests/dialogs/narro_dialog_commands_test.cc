// SPDX-License-Identifier: GPL-3.0-or-later
// The narro tool's dialog commands, run as a player runs them, with the
// keys from NARRO_KEYS and no terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/games/GameTestData.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"

namespace {

class NarroDialogCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFile(NARRO_SHIPPED_FINGERPRINTS, m_data.File("fingerprints.xml"));
  }
  // Exit status; standard output in out.
  int Run(const std::string& keys, const std::string& arguments, std::string& out) {
    const std::string command = "NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) +
                                " NARRO_SPEECH=wav:" + ShellQuoted(m_data.File("speech")) +
                                " NARRO_KEYS=" + ShellQuoted(keys) + " " + NARRO_TOOL + " " +
                                arguments + " 2>" + ShellQuoted(m_data.File("stderr")) + " </dev/null";
    return RunShellCommand(command, out);
  }
  TempDir m_data, m_work;
};

TEST_F(NarroDialogCommandsTest, ListWordsOfAFileAndKeepTheScratchList) {
  WriteFile(m_work.File("out.txt"), "A lantern and a rope.\n");
  std::string out;
  EXPECT_EQ(Run("l<Enter>", "list words " + ShellQuoted(m_work.File("out.txt")), out), 0);
  EXPECT_EQ(out, "lantern\n");
  EXPECT_EQ(Run("r<Ins><Esc>", "list words " + ShellQuoted(m_work.File("out.txt")), out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ReadFile(m_data.File("scratchpad.txt")), "rope\r\n");
  EXPECT_EQ(Run("<Enter>", "list scratch", out), 0);
  EXPECT_EQ(out, "rope\n");
}

TEST_F(NarroDialogCommandsTest, InputAndChooseFolder) {
  std::string out;
  EXPECT_EQ(Run("Tom & Jerry<Enter>", "input Name --clean", out), 0);
  EXPECT_EQ(out, "Tom  and  Jerry\n");
  EXPECT_EQ(Run("cancelled<Esc>", "input Name", out), 1);
  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(m_work.File("a/b").c_str(), 0755);
  EXPECT_EQ(Run("<Right><Down><Enter>", "choose-folder " + ShellQuoted(m_work.File("a")), out), 0);
  EXPECT_EQ(out, m_work.File("a/b") + "\n");
}

TEST_F(NarroDialogCommandsTest, ListGamesUnderAFolder) {
  CopyFile(DemoFile("cave.z5"), m_work.File("games/cave.z5"));
  CopyFile(DemoFile("tower.z5"), m_work.File("games/tower.z5"));
  std::string out;
  const std::string root = "--root " + ShellQuoted(m_work.File("games"));
  EXPECT_EQ(Run("<Enter>c<Enter>", "list games " + root, out), 0);
  EXPECT_EQ(out, m_work.File("games/cave.z5") + "\n");
  EXPECT_EQ(Run("<Enter>t<Enter>a", "list games " + root, out), 1);
  EXPECT_EQ(Run("<Enter>t<Enter>", "list games " + root, out), 1);  // the box given up
  EXPECT_EQ(Run("<Enter>", "list nonsense", out), 2);
}

}  // namespace
