// SPDX-License-Identifier: GPL-3.0-or-later
// A story's title without playing it, from its banner as emglken's real
// interpreters show it.
#include "player/StoryTitle.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"

using namespace player;

TEST(StoryTitleTest, TheBannerNamesAStoryOfEitherMachine) {
  const std::chrono::seconds limit(30);  // a bound for a hung interpreter, not a speed test
  EXPECT_EQ(BannerTitle("", NARRO_PLAYER_TEST_STORIES "/cave.z5", limit), L"Cave Quest");
  EXPECT_EQ(BannerTitle("", NARRO_PLAYER_TEST_STORIES "/tower.ulx", limit), L"The Tower");
}

TEST(StoryTitleTest, WithoutABannerTheFileNameNamesIt) {
  TempDir dir;
  // An interpreter that shows nothing, and one that is not there.
  EXPECT_EQ(StoryTitle("true", NARRO_PLAYER_TEST_STORIES "/cave.z5", std::chrono::seconds(30)), L"cave");
  EXPECT_EQ(StoryTitle("/nowhere/interpreter", NARRO_PLAYER_TEST_STORIES "/cave.z5", std::chrono::seconds(30)),
            L"cave");
  // No time for the banner at all.
  EXPECT_EQ(StoryTitle("", NARRO_PLAYER_TEST_STORIES "/cave.z5", std::chrono::milliseconds(0)), L"cave");
}
