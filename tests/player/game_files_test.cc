// SPDX-License-Identifier: GPL-3.0-or-later
// The files a game writes reach their place whole or not at all, and what
// must not be written (a link, a FIFO, a folder, another user's file) is
// refused.
#include "player/GameFiles.h"
#include "player/KeptFiles.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/TempDir.h"

using namespace player;

namespace {

std::string Refusal(const std::string& path) {
  bool exists = false;
  return RefusalToWrite(path, exists);
}

// A folder of its own with `bytes` of room: a small tmpfs, for root (as
// the tests run in CI) only.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& folder, size_t bytes) : m_folder(folder) {
    mkdir(folder.c_str(), 0700);
    const std::string options = "size=" + std::to_string(bytes);
    m_mounted = mount("narro-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (m_mounted) umount2(m_folder.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return m_mounted; }

 private:
  std::string m_folder;
  bool m_mounted = false;
};

}  // namespace

TEST(GameFilesTest, WhatMustNotBeWrittenIsRefusedWithItsReason) {
  TempDir dir;
  WriteFile(dir.File("save.glksave"), "old");
  EXPECT_EQ(Refusal(dir.File("save.glksave")), "");
  EXPECT_EQ(Refusal(dir.File("new.glksave")), "");
  ASSERT_EQ(symlink("/root/.bashrc", dir.File("link.glkdata").c_str()), 0);
  EXPECT_EQ(Refusal(dir.File("link.glkdata")), "it is a symbolic link");
  ASSERT_EQ(mkfifo(dir.File("fifo.glksave").c_str(), 0600), 0);
  EXPECT_EQ(Refusal(dir.File("fifo.glksave")), "it is a named pipe");
  ASSERT_EQ(mkdir(dir.File("folder.txt").c_str(), 0700), 0);
  EXPECT_EQ(Refusal(dir.File("folder.txt")), "it is a folder");
  EXPECT_EQ(Refusal("/dev/null"), "it is a device");
  if (getuid() == 0) {
    WriteFile(dir.File("theirs.txt"), "another user's");
    ASSERT_EQ(chown(dir.File("theirs.txt").c_str(), 65534, 65534), 0);
    EXPECT_EQ(Refusal(dir.File("theirs.txt")), "it belongs to another user");
  }
}

TEST(GameFilesTest, AFileIsPlacedWholeKeepingTheModeOfTheOneItReplaces) {
  TempDir dir;
  WriteFile(dir.File("inside"), "the new save");
  WriteFile(dir.File("save.glksave"), "the old save");
  ASSERT_EQ(chmod(dir.File("save.glksave").c_str(), 0640), 0);
  std::string error;
  ASSERT_TRUE(PlaceWhole(dir.File("inside"), dir.File("save.glksave"), true, 1 << 20, error)) << error;
  EXPECT_EQ(ReadFile(dir.File("save.glksave")), "the new save");
  struct stat info {};
  ASSERT_EQ(stat(dir.File("save.glksave").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // Not agreed to replace: a file that appeared meanwhile is kept.
  WriteFile(dir.File("appeared.txt"), "kept");
  EXPECT_FALSE(PlaceWhole(dir.File("inside"), dir.File("appeared.txt"), false, 1 << 20, error));
  EXPECT_EQ(ReadFile(dir.File("appeared.txt")), "kept");
  // A link planted at the target after the question is not written through.
  WriteFile(dir.File("victim"), "the player's");
  ASSERT_EQ(symlink(dir.File("victim").c_str(), dir.File("planted.txt").c_str()), 0);
  EXPECT_FALSE(PlaceWhole(dir.File("inside"), dir.File("planted.txt"), true, 1 << 20, error));
  EXPECT_EQ(error, "it is a symbolic link");
  EXPECT_EQ(ReadFile(dir.File("victim")), "the player's");
  // Nothing temporary is left beside the target.
  EXPECT_EQ(system(("test -z \"$(ls -A " + dir.path() + " | grep narro-)\"").c_str()), 0);
}

// A full disk: the save is not placed, the old one is as it was, and no
// temporary file is left taking the room.
TEST(GameFilesTest, AFullDiskLeavesTheOldSaveAsItWas) {
  TempDir dir;
  SmallDisk disk(dir.File("disk"), 64 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << "a small tmpfs needs root";
  const std::string old(40 * 1024, 'o');
  WriteFile(dir.File("disk/save.glksave"), old);
  WriteFile(dir.File("inside"), std::string(40 * 1024, 'n'));
  std::string error;
  EXPECT_FALSE(PlaceWhole(dir.File("inside"), dir.File("disk/save.glksave"), true, 1 << 20, error));
  EXPECT_EQ(error, "the disk is full");
  EXPECT_EQ(ReadFile(dir.File("disk/save.glksave")), old);
  EXPECT_EQ(system(("test \"$(ls -A " + dir.File("disk") + ")\" = save.glksave").c_str()), 0);
}

// What the interpreter still holds open waits; a save left when the
// interpreter ended is never placed, a transcript is.
TEST(GameFilesTest, FilesArePlacedWhenClosedAndHalfSavesNever) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("private").c_str(), 0700), 0);
  GameFiles files;
  files.Reset(dir.File("private"));
  std::string error;
  const std::string save = files.Expect(dir.File("river.glksave"), true, false, false, error);
  const std::string transcript = files.Expect(dir.File("notes.txt"), false, false, false, error);
  ASSERT_FALSE(save.empty());
  ASSERT_FALSE(transcript.empty());
  EXPECT_EQ(save.compare(0, dir.File("private/").size(), dir.File("private/")), 0);
  const int open = ::open(transcript.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(open, 0);
  ASSERT_EQ(write(open, "half", 4), 4);
  WriteFile(save, "a whole save");
  // This process plays the interpreter, the transcript still open.
  auto outcomes = files.PlaceFinished(getpid(), false);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_TRUE(outcomes[0].save);
  EXPECT_EQ(outcomes[0].error, "");
  EXPECT_EQ(ReadFile(dir.File("river.glksave")), "a whole save");
  EXPECT_FALSE(FileExists(dir.File("notes.txt")));
  close(open);
  // A save the game was writing when its interpreter ended.
  const std::string half = files.Expect(dir.File("half.glksave"), true, false, false, error);
  WriteFile(half, "half a sa");
  outcomes = files.PlaceFinished(-1, true);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(ReadFile(dir.File("notes.txt")), "half");
  EXPECT_FALSE(FileExists(dir.File("half.glksave")));
  EXPECT_FALSE(files.Waiting());
}

// Restoring lends a copy; appending starts from the file as it is; and a
// FIFO is never opened (which would hang the player).
TEST(GameFilesTest, ACopyIsLentAndAFifoIsNeverRead) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("private").c_str(), 0700), 0);
  GameFiles files;
  files.Reset(dir.File("private"));
  WriteFile(dir.File("river.glksave"), "the save");
  std::string error;
  const std::string lent = files.Lend(dir.File("river.glksave"), error);
  ASSERT_FALSE(lent.empty()) << error;
  EXPECT_EQ(ReadFile(lent), "the save");
  ASSERT_EQ(mkfifo(dir.File("fifo.glksave").c_str(), 0600), 0);
  EXPECT_EQ(files.Lend(dir.File("fifo.glksave"), error), "");
  EXPECT_EQ(error, "it is not a regular file");
  ASSERT_EQ(symlink(dir.File("river.glksave").c_str(), dir.File("link.glksave").c_str()), 0);
  EXPECT_EQ(files.Lend(dir.File("link.glksave"), error), "");
  EXPECT_EQ(error, "it is a symbolic link");

  WriteFile(dir.File("log.txt"), "first line\n");
  const std::string appended = files.Expect(dir.File("log.txt"), false, true, true, error);
  EXPECT_EQ(ReadFile(appended), "first line\n");
}

// What a game makes by name is kept in its own folder between sessions:
// copied in before it starts, copied back whole when it ends; the player's
// own files in the private folder are not.
TEST(GameFilesTest, FilesTheGameMakesByNameAreKeptBetweenSessions) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("private").c_str(), 0700), 0);
  GameFiles files;
  files.Reset(dir.File("private"));
  std::string error;
  ASSERT_TRUE(files.Seed(dir.File("store"), error)) << error;  // nothing kept yet
  WriteFile(dir.File("private/scores.glkdata"), "10");
  const std::string lent = files.Expect(dir.File("x.txt"), false, false, false, error);
  WriteFile(lent, "a transcript");
  files.PlaceFinished(-1, true);
  auto outcomes = files.KeepMade([&] { return dir.File("store"); });
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].error, "");
  EXPECT_EQ(ReadFile(dir.File("store/scores.glkdata")), "10");
  EXPECT_FALSE(FileExists(dir.File("store/x.txt")));

  // The next session finds it, and a link planted in the store is not
  // followed.
  ASSERT_EQ(system(("rm -rf " + dir.File("private") + " && mkdir " + dir.File("private")).c_str()), 0);
  WriteFile(dir.File("secret"), "the player's");
  ASSERT_EQ(symlink(dir.File("secret").c_str(), dir.File("store/link.glkdata").c_str()), 0);
  files.Reset(dir.File("private"));
  ASSERT_TRUE(files.Seed(dir.File("store"), error)) << error;
  EXPECT_EQ(ReadFile(dir.File("private/scores.glkdata")), "10");
  EXPECT_FALSE(FileExists(dir.File("private/link.glkdata")));
  // Nothing changed: nothing copied, and the folder not even asked for.
  EXPECT_TRUE(files.KeepMade([] { return std::string("/nowhere"); }).empty());
}

TEST(GameFilesTest, AStorysKeptFilesAreFoundByItsStemAndCrc) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  EXPECT_EQ(KeptFilesRoot(data), data + "/game-files/");
  EXPECT_EQ(KeptFilesRoot(data + "/"), data + "/game-files/");
  // Dots in the stem cannot make a name that leaves the folder.
  EXPECT_EQ(KeptFilesFolder(data, "/stories/my..tale.z5", "1A2B"),
            data + "/game-files/my__tale_1A2B");
  EXPECT_EQ(KeptFilesFolder(data, "/stories/tale.z5", ""), data + "/game-files/tale");

  // Nothing kept yet: the story's CRC need not be read.
  EXPECT_FALSE(MayHaveKeptFiles(data, "/stories/tale.z5"));
  ASSERT_EQ(system(("mkdir -p " + data + "/game-files/tale_1A2B " + data +
                    "/game-files/talent_99")
                       .c_str()),
            0);
  EXPECT_TRUE(MayHaveKeptFiles(data, "/elsewhere/tale.ulx"));
  EXPECT_FALSE(MayHaveKeptFiles(data, "/stories/tal.z5"));
  EXPECT_FALSE(MayHaveKeptFiles(data, "/stories/other.z5"));
}
