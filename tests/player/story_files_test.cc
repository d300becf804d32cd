// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFiles.h"

#include <gtest/gtest.h>

using namespace player;

TEST(PlayerStoryFilesTest, PathPieces) {
  EXPECT_EQ(FolderOf("/games/cave.z5"), "/games");
  EXPECT_EQ(FolderOf("/cave.z5"), "/");
  EXPECT_EQ(FolderOf("cave.z5"), ".");
  EXPECT_EQ(BaseName("/my games/cave.z5"), "cave.z5");
  EXPECT_EQ(StemOf("/my.games/cave.z5"), "cave");
  EXPECT_EQ(StemOf("/games/.hidden"), ".hidden");
  EXPECT_EQ(StemOf("/my.games/cave"), "cave");
}

TEST(PlayerStoryFilesTest, TitleIsTheFirstLineOfTheBannerBlock) {
  // As emglken's Bocfel gives Windfall's first turn, a paragraph a line.
  const std::wstring windfall =
      L"\n\nOld Mrs Hale's orchard grows one golden apple.\n\nWindfall\n"
      L"A short story of the Narro project.\n"
      L"Release 1 / Serial number 261207 / Inform v6.41 Library v6.12.6 S\n\nOrchard Gate\n";
  EXPECT_EQ(TitleFromBanner(windfall), L"Windfall");
  // An Infocom banner: the copyright and trademark lines are no title.
  EXPECT_EQ(TitleFromBanner(L"ZORK I: The Great Underground Empire\n"
                            L"Copyright (c) 1981, 1982, 1983 Infocom, Inc. All rights reserved.\n"
                            L"ZORK is a registered trademark of Infocom, Inc.\n"
                            L"Revision 88 / Serial number 840726\n\nWest of House\n"),
            L"ZORK I: The Great Underground Empire");
  EXPECT_EQ(TitleFromBanner(L"Copyright (c) 1981 Infocom, Inc. All rights reserved.\n"
                            L"Revision 88 / Serial number 840726\n"),
            L"");
  EXPECT_EQ(TitleFromBanner(L"Intro.\n\n  Cave Quest  \nRELEASE 2 / SERIAL NUMBER 250101\n"), L"Cave Quest");
  // Text that merely mentions a release is no banner.
  EXPECT_EQ(TitleFromBanner(L"You are in a cave.\nNo exit.\nRelease the rope."), L"");
  EXPECT_EQ(TitleFromBanner(L""), L"");
}

// A banner line of 100 KB is no name: titles are cut between words.
TEST(StoryFilesTest, ATitleIsAtMostAHundredCharacters) {
  std::wstring huge;
  for (int i = 0; i < 20000; ++i) huge += L"word ";
  const std::wstring title = TitleFromBanner(huge + L"\nRelease 1 / Serial number 250101 / Inform v6.41\n");
  EXPECT_LE(title.size(), kTitleLimit);
  EXPECT_EQ(title.substr(0, 10), L"word word ");
  EXPECT_NE(title.back(), L' ');
  EXPECT_EQ(ShortTitle(L"Short Title"), L"Short Title");
  EXPECT_EQ(ShortTitle(std::wstring(150, L'x')).size(), kTitleLimit);
}
