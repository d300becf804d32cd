// SPDX-License-Identifier: GPL-3.0-or-later
// The narro dialog commands in a real terminal: tmux runs them, sends keys,
// and shows where the cursor stands and what the screen holds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/games/GameTestData.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmux.h"

namespace {

class NarroTerminalTest : public ::testing::Test {
 protected:
  // The command, then a line with its output and exit status, then a pause
  // so that the screen can be read.
  std::string Narro(const std::string& arguments) const {
    return "sh -c " +
           ShellQuoted("NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) + " NARRO_SPEECH=wav:" +
                       ShellQuoted(m_data.File("speech")) + " " + NARRO_TOOL + " " + arguments +
                       " > " + ShellQuoted(m_data.File("out")) + "; echo narro-ended rc=$? $(cat " +
                       ShellQuoted(m_data.File("out")) + "); exec sleep 600");
  }
  TempDir m_data, m_work;
};

TEST_F(NarroTerminalTest, TheCursorStandsOnTheWordAndEnterPrintsIt) {
  WriteFile(m_work.File("out.txt"), "A lantern, a rope and a sword.\n");
  Tmux tmux(Narro("list words " + ShellQuoted(m_work.File("out.txt"))), 60, 20);
  ASSERT_TRUE(tmux.WaitFor("> a"));
  EXPECT_EQ(tmux.Line(0), "Word List");
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> a"));
  tmux.Keys("Down");  // says where it stands, does not move
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("> and"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> and"));
  tmux.Keys("s");
  ASSERT_TRUE(tmux.WaitFor("> sword"));
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, tmux.RowOf("> sword")));
  tmux.Run("resize-window -t 0 -x 30 -y 10");
  ASSERT_TRUE(tmux.WaitFor("> sword"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> sword"));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("narro-ended rc=0 sword"));
}

TEST_F(NarroTerminalTest, TheCursorFollowsTheCaretOfTheInput) {
  Tmux tmux(Narro("input 'Name your save' --clean"), 60, 10);
  ASSERT_TRUE(tmux.WaitFor("Name your save"));
  tmux.Keys("-l 'Tom & Jerry'");
  ASSERT_TRUE(tmux.WaitFor("Tom & Jerry"));
  const int row = tmux.RowOf("Tom & Jerry");
  const int column = static_cast<int>(tmux.Line(row).find("Tom & Jerry")) + 11;
  EXPECT_EQ(tmux.Cursor(), std::make_pair(column, row));
  tmux.Keys("Left Left");
  EXPECT_TRUE(tmux.WaitFor("Tom & Jerry"));
  EXPECT_EQ(tmux.Cursor(), std::make_pair(column - 2, row));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("narro-ended rc=0 Tom and Jerry"));
}

TEST_F(NarroTerminalTest, EscapeInTheFolderChooserLeavesNothingChosen) {
  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(m_work.File("a/b").c_str(), 0755);
  Tmux tmux(Narro("choose-folder " + ShellQuoted(m_work.File("a"))), 60, 12);
  ASSERT_TRUE(tmux.WaitFor("> a"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> a"));
  tmux.Keys("Right");
  ASSERT_TRUE(tmux.WaitFor("> b"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> b"));
  tmux.Keys("Escape");
  ASSERT_TRUE(tmux.WaitFor("narro-ended rc=1"));
}

}  // namespace
