// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs in a real terminal: tmux runs narro_win_demo, sends it keys
// and shows what is on the screen and where the cursor stands.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmux.h"

namespace {

class TerminalTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string Out() const { return dir.File("out"); }
  // The demo, then a line that says it ended and how (a leak or an error
  // found by the sanitizers ends it with another code), then a pause so
  // that the screen can be looked at.
  std::string Demo(const std::string& arguments, const std::string& before = "") const {
    return "sh -c " + ShellQuoted(before + ShellQuoted(NARRO_WIN_DEMO) + " " + arguments + " --out " +
                            ShellQuoted(Out()) + "; echo demo-ended rc=$?; exec sleep 600");
  }
};

TEST_F(TerminalTest, TheCursorStandsOnTheCurrentEntry) {
  Tmux tmux(Demo("list 50"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  EXPECT_EQ(tmux.Line(0), "Demo list");
  EXPECT_EQ(tmux.Line(1), "There are 50 entries in the list.");
  const int first = tmux.RowOf("> entry 00001");
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, first));
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("> entry 00002"));
  EXPECT_EQ(tmux.RowOf("  entry 00001"), first);
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, first + 1));
  tmux.Keys("End");
  ASSERT_TRUE(tmux.WaitFor("> entry 00050"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> entry 00050"));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00050\n");
}

TEST_F(TerminalTest, AResizeDrawsTheDialogAgainWithTheCurrentEntryVisible) {
  Tmux tmux(Demo("list 10000"), 60, 20);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  tmux.Keys("PgDn");  // 17 rows of entries: each page moves on by 16
  tmux.Keys("PgDn");
  ASSERT_TRUE(tmux.WaitFor("> entry 00033"));
  tmux.Run("resize-window -t 0 -x 20 -y 10");
  // Drawn again for 20 columns: the instructions now take two lines.
  ASSERT_TRUE(tmux.WaitFor("\nentries in the list."));
  EXPECT_EQ(tmux.Line(0), "Demo list");
  const int row = tmux.RowOf("> entry 00033");
  ASSERT_GE(row, 0) << tmux.Screen();
  EXPECT_LT(row, 10);
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, row));
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("> entry 00034"));
  EXPECT_EQ(tmux.Cursor().second, tmux.RowOf("> entry 00034"));
  tmux.Keys("Escape");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=2 text=entry 00034\n");
}

// Suspended while it waited for a key and then continued, the dialog takes
// the very next key: the terminal sends it before curses has put keypad
// mode back.
TEST_F(TerminalTest, TheFirstKeyAfterASuspensionIsTaken) {
  Tmux tmux(Demo("list 5"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  // The bracket keeps pgrep from finding the shell that runs it.
  const std::string demo = "pgrep -f " + ShellQuoted("narro_win_dem[o] list 5 --out " + Out());
  std::string out;
  ASSERT_EQ(RunShellCommand("kill -TSTP $(" + demo + ") && sleep 0.3 && kill -CONT $(" + demo +
                                ") && sleep 0.3",
                            out),
            0);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("> entry 00002"));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00002\n");
}

TEST_F(TerminalTest, KeysComeFromTheTerminalWhenStandardInputIsAPipe) {
  Tmux tmux(Demo("list 5", "echo piped | "), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  tmux.Keys("e Down Enter");  // type-ahead goes on to the next entry beginning with e
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00003\n");
}

TEST_F(TerminalTest, CtrlCCancelsAndTheTerminalIsLeftAsItWasFound) {
  const std::string before = dir.File("before");
  const std::string after = dir.File("after");
  Tmux tmux("sh -c " + ShellQuoted("stty -g > " + ShellQuoted(before) + "; " + ShellQuoted(NARRO_WIN_DEMO) +
                             " list 3 --out " + ShellQuoted(Out()) + "; echo rc=$? > " + ShellQuoted(after + ".rc") + "; stty -g > " +
                             ShellQuoted(after) + "; echo demo-ended rc=0; exec sleep 600"),
            40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  tmux.Keys("C-c");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=2 text=entry 00001\n");
  EXPECT_FALSE(ReadFile(before).empty());
  EXPECT_EQ(ReadFile(before), ReadFile(after));
  EXPECT_EQ(ReadFile(after + ".rc"), "rc=0\n");
  EXPECT_EQ(tmux.Screen().find("entry 00001"), std::string::npos);  // the screen is back
}

TEST_F(TerminalTest, TheBoxPutsTheCursorOnTheButtonAndAnswers) {
  Tmux tmux(Demo("box"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor(">Yes"));
  EXPECT_EQ(tmux.Line(0), "Quit");
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, tmux.RowOf(">Yes")));
  tmux.Keys("Right");
  ASSERT_TRUE(tmux.WaitFor(">No"));
  EXPECT_EQ(tmux.Cursor(), std::make_pair(6, tmux.RowOf(">No")));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=7 text=\n");
}

TEST_F(TerminalTest, TheEditShowsItsTextWithTheCursorAtTheCaret) {
  Tmux tmux(Demo("input"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("Cancel"));
  tmux.Keys("-l 'caf\xc3\xa9 door'");
  ASSERT_TRUE(tmux.WaitFor("caf\xc3\xa9 door"));
  tmux.Keys("BTab");  // back round to Cancel, and on again to the edit
  ASSERT_TRUE(tmux.WaitFor(">Cancel"));
  tmux.Keys("Tab");
  ASSERT_TRUE(tmux.WaitFor(" OK   Cancel"));
  tmux.Keys("Left Left");
  for (int tries = 0; tries < 2000 && tmux.Cursor().first != 7; ++tries) usleep(10000);
  EXPECT_EQ(tmux.Cursor(), std::make_pair(7, tmux.RowOf("door")));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=caf\xc3\xa9 door\n");
}

TEST_F(TerminalTest, ABoxOverAListGivesTheListItsScreenBack) {
  Tmux tmux(Demo("list 5"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  tmux.Keys("Down DC");
  ASSERT_TRUE(tmux.WaitFor(">Yes"));
  EXPECT_EQ(tmux.Line(0), "Remove");
  EXPECT_EQ(tmux.Screen().find("entry 0000"), std::string::npos);
  tmux.Keys("y");
  ASSERT_TRUE(tmux.WaitFor("Demo list"));
  ASSERT_TRUE(tmux.WaitFor("  entry 00003"));
  EXPECT_EQ(tmux.Screen().find("entry 00002"), std::string::npos);
  EXPECT_EQ(tmux.Screen().find("Yes"), std::string::npos);
  EXPECT_EQ(tmux.Cursor(), std::make_pair(0, tmux.RowOf("  entry 00001")));  // nothing current: the list's top
  tmux.Keys("Down DC n Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00001\n");
}

class PlainTerminalTest : public TerminalTest, public ::testing::WithParamInterface<const char*> {};

TEST_F(TerminalTest, ADumbTerminalShowsOneScreenfulOfALongList) {
  Tmux tmux(Demo("list 10000", "TERM=dumb "), 40, 40);
  ASSERT_TRUE(tmux.WaitFor(" Cancel"));
  EXPECT_NE(tmux.RowOf("  entry 00021"), -1);
  EXPECT_EQ(tmux.RowOf("  entry 00022"), -1);
  tmux.Keys("End");
  ASSERT_TRUE(tmux.WaitFor("> entry 10000"));
  tmux.Keys("Escape");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=2 text=entry 10000\n");
}

TEST_P(PlainTerminalTest, GetsPlainLines) {
  Tmux tmux(Demo("list 3", std::string("TERM=") + GetParam() + " "), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  EXPECT_EQ(tmux.Line(0), "Demo list");
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("> entry 00002"));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00002\n");
}

// A dumb terminal, and one that has no description curses could use.
INSTANTIATE_TEST_SUITE_P(Terminals, PlainTerminalTest, ::testing::Values("dumb", "no-such-terminal"));

TEST_F(TerminalTest, AHostThatRunsCursesKeepsItsScreen) {
  Tmux tmux(Demo("host-curses 5"), 40, 12);
  ASSERT_TRUE(tmux.WaitFor("> entry 00001"));
  EXPECT_EQ(tmux.Screen().find("HOST SCREEN"), std::string::npos);
  tmux.Keys("Down Enter");
  ASSERT_TRUE(tmux.WaitFor("host goes on"));
  EXPECT_NE(tmux.Screen().find("HOST SCREEN"), std::string::npos);
  EXPECT_EQ(tmux.Screen().find("entry 0000"), std::string::npos);
  tmux.Keys("q");
  ASSERT_TRUE(tmux.WaitFor("demo-ended rc=0"));
  EXPECT_EQ(ReadFile(Out()), "code=1 text=entry 00002\n");
}

}  // namespace
