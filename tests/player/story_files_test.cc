// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/SaveScan.h"
#include "player/StoryFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TempDir.h"

using namespace player;

TEST(PlayerStoryFilesTest, SaveNamesCarryTheStory) {
  const std::string file = SaveFileName("my first game", "9AE38DFE");
  EXPECT_EQ(file, "my first game_%9AE38DFE%_.sav");
  // The library's saved-games list reads the name and the story back.
  std::string crc;
  ASSERT_TRUE(crcFromSaveName(file, crc));
  EXPECT_EQ(crc, "9AE38DFE");
  EXPECT_EQ(saveDisplayText("/home/Zo\xC3\xAB/saves/" + file, "Cave Quest"),
            "my first game: Cave Quest");
  const std::string odd = SaveFileName("50%_off_%", "884A2912");
  ASSERT_TRUE(crcFromSaveName(odd, crc));
  EXPECT_EQ(crc, "884A2912");
  EXPECT_EQ(FolderOf("/games/cave.z5"), "/games");
  EXPECT_EQ(FolderOf("/cave.z5"), "/");
  EXPECT_EQ(FolderOf("cave.z5"), ".");
  EXPECT_EQ(BaseName("/my games/cave.z5"), "cave.z5");
  EXPECT_EQ(StemOf("/my.games/cave.z5"), "cave");
  EXPECT_EQ(StemOf("/games/.hidden"), ".hidden");
  EXPECT_EQ(StemOf("/my.games/cave"), "cave");
}

TEST(PlayerStoryFilesTest, SavesGoBesideTheStoryOrToTheFallback) {
  TempDir dir;
  const std::string folder = dir.path().substr(0, dir.path().size() - 1);
  EXPECT_EQ(ChooseSaveFolder(dir.File("cave.z5"), dir.File("unused")), folder);
  EXPECT_FALSE(FileExists(dir.File("unused")));
  // A story whose folder is gone (or cannot be written) saves to the
  // fallback, made with its parents and for the player only.
  const std::string fallback = dir.File("data/narro/saves");
  EXPECT_EQ(ChooseSaveFolder(dir.File("gone/cave.z5"), fallback), fallback);
  struct stat info {};
  ASSERT_EQ(stat(fallback.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  WriteFile(dir.File("file"), "");
  EXPECT_EQ(ChooseSaveFolder(dir.File("gone/cave.z5"), dir.File("file/saves")), "");
}

TEST(PlayerStoryFilesTest, FingerprintSearchSkipsWhatIsNoFile) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo.xml").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.File("folder.xml").c_str(), 0700), 0);
  WriteFile(dir.File("fingerprints.xml"),
            "<games>\n  <supported_game fingerprint=\"9AE38DFE\" FullName=\"Cave Quest\" />\n"
            "</games>\n");
  WriteFile(dir.File("empty.xml"), "");
  // The FIFO has no writer: opening or reading it must not wait for one.
  const std::vector<std::string> databases = {dir.File("missing.xml"), dir.File("fifo.xml"),
                                              dir.File("folder.xml"), dir.File("empty.xml"),
                                              dir.File("fingerprints.xml")};
  EXPECT_TRUE(FingerprintKnown("9AE38DFE", databases));
  EXPECT_FALSE(FingerprintKnown("9AE38DF", databases));
  EXPECT_FALSE(FingerprintKnown("884A2912", databases));
  EXPECT_FALSE(FingerprintKnown("9AE38DFE", {databases.begin(), databases.end() - 1}));
  EXPECT_FALSE(FingerprintKnown("9AE38DFE", {}));
}

TEST(PlayerStoryFilesTest, TitleFromBannerLines) {
  const std::wstring release = L"\nA demo story.\nRelease 1 / Serial number 250101 / Inform v6.41\n";
  EXPECT_EQ(TitleFromBanner(L"Intro.\n\n  Cave Quest " + release + L"\nThe hall."), L"Cave Quest");
  EXPECT_EQ(TitleFromBanner(L"Intro.\n" + release), L"");  // the title dropped
  EXPECT_EQ(TitleFromBanner(L"Cave Quest\n" + release), L"");  // no headline
  EXPECT_EQ(TitleFromBanner(L"You are in a cave.\nNo exit.\nRelease the rope."), L"");
}
