// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/ScreenText.h"

#include <gtest/gtest.h>

using namespace player;

TEST(ScreenTextTest, LinesBreakBetweenWords) {
  EXPECT_EQ(WrapForScreen(L"You stand at the orchard gate.", 12), L"You stand at\nthe orchard\ngate.");
  EXPECT_EQ(WrapForScreen(L"short\nlines stay", 12), L"short\nlines stay");
  // A blank exactly at the edge goes with the break.
  EXPECT_EQ(WrapForScreen(L"abcd efgh", 4), L"abcd\nefgh");
  // A word longer than the line is cut.
  EXPECT_EQ(WrapForScreen(L"antidisestablishment", 8), L"antidise\nstablish\nment");
  // Wide characters take two columns each.
  EXPECT_EQ(WrapForScreen(L"\u65e5\u672c \u8a9e\u8a9e", 4), L"\u65e5\u672c\n\u8a9e\u8a9e");
  EXPECT_EQ(WrapForScreen(L"anything", 1), L"anything");
}

// Nothing from a game, an interpreter or a file's name is a command to the
// terminal: escape sequences go whole, not leaving "[41m" behind.
TEST(ScreenTextTest, EscapeSequencesAndControlsNeverReachTheTerminal) {
  EXPECT_EQ(ForScreen(L"\x1b]2;FILE2-PWNED\a\x1b[2Jjunk.z5"), L"junk.z5");
  EXPECT_EQ(ForScreen(L"red \x1b[41mtext\x1b[0m."), L"red text.");
  EXPECT_EQ(ForScreen(L"title \x1b]0;x\x1b\\done"), L"title done");
  EXPECT_EQ(ForScreen(L"8-bit \x9b" L"31mCSI and \x9d" L"0;t\x9c OSC"), L"8-bit CSI and  OSC");
  EXPECT_EQ(ForScreen(L"\x1b" L"cRIS, \x1b(0line"), L"RIS, line");
  EXPECT_EQ(ForScreen(L"bell\a, del\x7f, C1\x85, tab\there"), L"bell, del, C1, tab here");
  EXPECT_EQ(ForScreen(L"evil\x202e" L"txt.exe\x2066!"), L"eviltxt.exe!");
  EXPECT_EQ(ForScreen(L"two\nlines"), L"two\nlines");
  EXPECT_EQ(ForScreen(L"two\nlines", false), L"two lines");
  EXPECT_EQ(ForScreen(L"cut off \x1b[12"), L"cut off ");
  EXPECT_EQ(ForScreen(L"Caf\x00e9 \x4e2d\x6587"), L"Caf\x00e9 \x4e2d\x6587");
}
