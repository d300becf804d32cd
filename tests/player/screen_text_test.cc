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
