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
  // `locale` is LC_ALL's value, when given.
  std::string Narro(const std::string& arguments, const std::string& locale = "") const {
    return "sh -c " +
           ShellQuoted((locale.empty() ? "" : "LC_ALL=" + locale + " ") +
                       "NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) + " NARRO_SPEECH=wav:" +
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

const char kGreetings[] = "Gr\xC3\xBC\xC3\x9F" "e";                  // Grüße
const char kJapanese[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";         // 日本語
const char kGreek[] = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC";  // Ελληνικά
const char kCombined[] = "e\xCC\x81";  // e and a combining acute accent

// Under a UTF-8 locale names are drawn as their characters, each taking the
// columns the terminal gives it: two for a Japanese character, none for a
// combining accent.
TEST_F(NarroTerminalTest, NamesAreDrawnAsTheirCharactersInTheirColumns) {
  mkdir(m_work.File("a").c_str(), 0755);
  for (const char* name : {kGreetings, kJapanese, kGreek, kCombined}) {
    mkdir(m_work.File(std::string("a/") + name).c_str(), 0755);
  }
  {
    Tmux tmux(Narro("choose-folder " + ShellQuoted(m_work.File("a")), "C.UTF-8"), 60, 12);
    ASSERT_TRUE(tmux.WaitFor("> a"));
    tmux.Keys("Right");
    // The locale's collation puts the accented e first.
    ASSERT_TRUE(tmux.WaitFor(std::string("> ") + kCombined));
    for (const char* name : {kGreetings, kJapanese, kGreek}) {
      EXPECT_GE(tmux.RowOf(std::string("  ") + name), 0) << name << "\n" << tmux.Screen();
    }
    EXPECT_EQ(tmux.Screen().find('?'), std::string::npos) << tmux.Screen();
    tmux.Keys("Escape");
    ASSERT_TRUE(tmux.WaitFor("narro-ended rc=1"));
  }
  Tmux tmux(Narro(std::string("input ") + kGreetings, "C.UTF-8"), 60, 10);
  ASSERT_TRUE(tmux.WaitFor(kGreetings));
  tmux.Keys("-l " + ShellQuoted(std::string(kJapanese) + kCombined + "x"));
  ASSERT_TRUE(tmux.WaitFor(std::string(kJapanese) + kCombined + "x"));
  const int row = tmux.RowOf(std::string(kJapanese) + kCombined + "x");
  EXPECT_EQ(tmux.Line(row).find(kJapanese), 0u) << tmux.Screen();
  // Three characters of two columns, an e with its accent, an x.
  EXPECT_EQ(tmux.Cursor(), std::make_pair(8, row));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor(std::string("narro-ended rc=0 ") + kJapanese + kCombined + "x"));
}

// Under the C locale a name's bytes beyond ASCII do not decode: each is drawn
// as '?', one column, and no byte of a name reaches the terminal as a
// control (an ESC, a one-byte CSI) that could move or clear the screen.
TEST_F(NarroTerminalTest, UndecodableNamesAreDrawnSafelyInTheCLocale) {
  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(m_work.File("a/caf\xC3\xA9").c_str(), 0755);
  mkdir(m_work.File("a/x\x1B[2Jy").c_str(), 0755);
  mkdir(m_work.File("a/z\x9B" "2J\xC2\x9B" "2J").c_str(), 0755);
  Tmux tmux(Narro("choose-folder " + ShellQuoted(m_work.File("a")), "C"), 60, 12);
  ASSERT_TRUE(tmux.WaitFor("> a"));
  tmux.Keys("Right");
  ASSERT_TRUE(tmux.WaitFor("> caf??"));
  EXPECT_GE(tmux.RowOf("  x?[2Jy"), 0) << tmux.Screen();
  EXPECT_GE(tmux.RowOf("  z?2J??2J"), 0) << tmux.Screen();
  EXPECT_EQ(tmux.Line(0), "Choose a folder");
  tmux.Keys("Enter");
  // Chosen, it is printed as its bytes all the same.
  ASSERT_TRUE(tmux.WaitFor("narro-ended rc=0 " + m_work.File("a/caf")));
  EXPECT_EQ(ReadFile(m_data.File("out")), m_work.File("a/caf\xC3\xA9") + "\n");
}

}  // namespace
