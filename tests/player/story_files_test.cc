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

// Banners of stories of other formats, as their interpreters show them.
TEST(PlayerStoryFilesTest, BannersWithoutAReleaseAndSerialLineNameTheirStories) {
  // TADS 2: the release line stands apart under the title and byline.
  EXPECT_EQ(TitleFromBanner(L"   You wake up to the sound of voices in the hall.  It's ditch day.\n\n"
                            L"Ditch Day Drifter\nInteractive Fiction by Michael J. Roberts\n\n"
                            L"Release 1.0\nCopyright (c) 1990, 2002 Michael J. Roberts.  All Rights Reserved.\n"
                            L"Developed with TADS:  The Text Adventure Development System.\n\nRoom 3\n"),
            L"Ditch Day Drifter");
  // Inform's own, the release line set apart the same way.
  EXPECT_EQ(TitleFromBanner(L"\n\nWelcome to Adventure!\n\nADVENTURE\nThe Interactive Original\n"
                            L"By Will Crowther (1976) and Don Woods (1977)\nReconstructed in three steps by:\n"
                            L"Donald Ekman, David M. Baggett (1993) and Graham Nelson (1994)\n"
                            L"[In memoriam Stephen Bishop (1820?-1857): GN]\n\n"
                            L"Release 9 / Serial number 060321 / Inform v6.31 Library 6/11 S\n"),
            L"ADVENTURE");
  // Sentences, or more lines than credits take, above a lone release line
  // are no title block.
  EXPECT_EQ(TitleFromBanner(L"It begins.\nTwo.\n\nRelease 1 / Serial number 250101\n"), L"");
  EXPECT_EQ(TitleFromBanner(L"A\nB\nC\nD\nE\nF\nG\nH\nI\n\nRelease 1 / Serial number 250101\n"), L"");
  // Hugo: the title, then a line of credits that names the authors.
  EXPECT_EQ(TitleFromBanner(L"COLOSSAL HUGO\nAn Adaptation of Adventure by Willie Crowther and Don Woods (1977)\n\n"
                            L"Hugo adaptation by Kent Tessman 1995\n"
                            L"Written using Hugo v2.2 by Kent Tessman (c) 1995-1996\n\nAt End Of Road\n"),
            L"COLOSSAL HUGO");
  // ADRIFT: the game's name, a blank line, its author.
  EXPECT_EQ(TitleFromBanner(L"\nTo Hell in a Hamper\n\nBy J. J. Guest\nWith thanks to my beta-testers\n\n"
                            L"From the log of Professor Pettibone:\n\nPress any key\n"),
            L"To Hell in a Hamper");
  // The story's own first sentences are no title, whatever they say.
  EXPECT_EQ(TitleFromBanner(L"At End Of Road\nYou are standing by a small brick building.\n"), L"");
  EXPECT_EQ(TitleFromBanner(L"It was a dark night.\nBy then the rain had stopped\n"), L"");
  EXPECT_EQ(TitleFromBanner(L"Copyright 2001 Someone\nBy Someone\n"), L"");
  EXPECT_EQ(TitleFromBanner(L"A title alone\n"), L"");
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

// The player's database as the library writes it: the name stored for a
// fingerprint, and whether it is a stand-in the player may correct.
TEST(PlayerStoryFilesTest, TheNameThePlayersDatabaseStoresAndWhetherItIsAStandIn) {
  const std::string xml =
      "<?xml version=\"1.0\" ?>\n<games>\n"
      "    <supported_game fingerprint=\"0A1B2C3D\" FullName=\"colossal\" sn=\"12-18-\" fn=\"/g/colossal.hex\" warn=\"\" />\n"
      "    <supported_game fingerprint=\"11111111\" FullName=\"Tom &amp; Jerry &lt;1&gt; &quot;x&quot; &#x41;&#66;\" sn=\"\" fn=\"\" warn=\"\" />\n"
      "    <supported_game FullName=\"no fingerprint\" />\n"
      "    <supported_game fn=\"fingerprint=&quot;22222222&quot;\" fingerprint='22222222' FullName='Caf\xC3\xA9' />\n"
      "</games>\n";
  std::string name;
  EXPECT_TRUE(StoredName(xml, "0A1B2C3D", name));
  EXPECT_EQ(name, "colossal");
  EXPECT_TRUE(StoredName(xml, "11111111", name));
  EXPECT_EQ(name, "Tom & Jerry <1> \"x\" AB");
  EXPECT_TRUE(StoredName(xml, "22222222", name));
  EXPECT_EQ(name, "Caf\xC3\xA9");
  name = "kept";
  EXPECT_FALSE(StoredName(xml, "0a1b2c3d", name));  // fingerprints are upper-case text
  EXPECT_FALSE(StoredName(xml, "33333333", name));
  EXPECT_FALSE(StoredName("", "0A1B2C3D", name));
  EXPECT_FALSE(StoredName("<games><supported_game fingerprint=\"0A1B2C3D\" FullName=\"cut", "0A1B2C3D", name));
  EXPECT_EQ(name, "kept");

  // The file's stem is what the player stores when it finds no title.
  EXPECT_TRUE(IsStandInName(L"colossal", "/g/colossal.hex"));
  EXPECT_TRUE(IsStandInName(L"Hamper", "Hamper.taf"));
  EXPECT_FALSE(IsStandInName(L"COLOSSAL HUGO", "/g/colossal.hex"));
  EXPECT_FALSE(IsStandInName(L"Colossal", "/g/colossal.hex"));
  EXPECT_FALSE(IsStandInName(L"", "/g/.hex"));
}
