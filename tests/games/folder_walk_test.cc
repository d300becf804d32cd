// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/file/CountingFileSystem.h"
#include "games/FolderWalk.h"
#include "tests/games/GameTestData.h"
#include "tests/support/TempDir.h"

namespace {

// Folders listed in a fixed order, as the test spells them.
class ListedFolders : public platform::CountingFileSystem {
 public:
  ListedFolders() : platform::CountingFileSystem(platform::FileSystem::Real()) {}
  bool ListFolder(const std::string& folder, std::vector<platform::FolderEntry>& entries) override {
    listed.push_back(folder);
    const auto it = folders.find(folder);
    if (it == folders.end()) return false;
    entries = it->second;
    return true;
  }
  std::map<std::string, std::vector<platform::FolderEntry>> folders;
  std::vector<std::string> listed;
};

platform::FolderEntry File(const std::string& name, uint64_t size, uint64_t lastWrite = 0) {
  return platform::FolderEntry{name, false, size, lastWrite};
}
platform::FolderEntry Folder(const std::string& name) { return platform::FolderEntry{name, true, 0, 0}; }

std::vector<std::string> Paths(const std::vector<FoundFile>& files) {
  std::vector<std::string> paths;
  for (const FoundFile& file : files) paths.push_back(file.path);
  return paths;
}

TEST(FindFilesTest, WalksFilesFirstThenTheLastListedSubfolderFirst) {
  ListedFolders fs;
  fs.folders["r/"] = {File("f1", 1), Folder("A"), File("f2", 2), Folder("B")};
  fs.folders["r/A/"] = {File("a1", 4), Folder("C")};
  fs.folders["r/A/C/"] = {File("c1", 8)};
  fs.folders["r/B/"] = {File("b1", 0x100000010ull, 0x01D9ABCD12345678ull), Folder("Missing")};
  platform::ScopedFileSystem use(fs);
  std::vector<FoundFile> files;
  EXPECT_EQ(findFiles("", true, files), 0u);  // names no folder, not "/"
  EXPECT_TRUE(fs.listed.empty());
  // The total counts whole sizes in 64 bits; a found file keeps the low half.
  EXPECT_EQ(findFiles("r", true, files), 0x10000001Full);
  EXPECT_EQ(Paths(files), (std::vector<std::string>{"r/f1", "r/f2", "r/B/b1", "r/A/a1", "r/A/C/c1"}));
  EXPECT_EQ(fs.listed, (std::vector<std::string>{"r/", "r/B/", "r/B/Missing/", "r/A/", "r/A/C/"}));
  EXPECT_EQ(files[2].size, 16u);
  EXPECT_EQ(files[2].lastWrite.dwLowDateTime, 0x12345678u);
  EXPECT_EQ(files[2].lastWrite.dwHighDateTime, 0x01D9ABCDu);

  files.clear();
  EXPECT_EQ(findFiles("r/", false, files), 3u);
  EXPECT_EQ(Paths(files), (std::vector<std::string>{"r/f1", "r/f2"}));
}

TEST(FindFilesTest, RealFoldersListFilesLinkedFilesAndNeverFollowFolderLinks) {
  TempDir dir;
  WriteFileMaking(dir.File("top/a.z5"), "12345");
  WriteFileMaking(dir.File("top/sub/b.z5"), "123");
  MakeFolders(dir.File("top/empty"));
  SetLastWrite(dir.File("top/a.z5"), 0x01DA0000FFFFFF00ull);
  ASSERT_EQ(symlink("..", dir.File("top/sub/loop").c_str()), 0);
  ASSERT_EQ(symlink("../a.z5", dir.File("top/sub/link.z5").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", dir.File("top/dangling.z5").c_str()), 0);
  ASSERT_EQ(mkfifo(dir.File("top/pipe.z5").c_str(), 0600), 0);

  std::vector<FoundFile> files;
  EXPECT_EQ(findFiles(dir.File("top"), true, files), 13u);
  std::vector<std::string> paths = Paths(files);
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{dir.File("top/a.z5"), dir.File("top/sub/b.z5"),
                                             dir.File("top/sub/link.z5")}));
  for (const FoundFile& file : files) {
    if (file.path == dir.File("top/a.z5")) {
      EXPECT_EQ(file.lastWrite.dwLowDateTime, 0xFFFFFF00u);
      EXPECT_EQ(file.lastWrite.dwHighDateTime, 0x01DA0000u);
    }
  }
}

// Lists the real disk but, once the top folder is listed, takes one
// subfolder away and refuses another, as a vanished folder and one without
// permission would.
class VanishingFolders : public platform::CountingFileSystem {
 public:
  VanishingFolders(std::string top) : platform::CountingFileSystem(platform::FileSystem::Real()), m_top(top) {}
  bool ListFolder(const std::string& folder, std::vector<platform::FolderEntry>& entries) override {
    if (folder == m_top + "denied/") return false;
    const bool ok = m_inner.ListFolder(folder, entries);
    if (folder == m_top) std::filesystem::remove_all(m_top + "gone");
    return ok;
  }

 private:
  const std::string m_top;
};

TEST(FindFilesTest, FoldersThatVanishOrCannotBeListedArePassedOver) {
  TempDir dir;
  WriteFileMaking(dir.File("gone/a.z5"), "1");
  WriteFileMaking(dir.File("denied/b.z5"), "1");
  WriteFileMaking(dir.File("kept/c.z5"), "1");
  VanishingFolders fs(dir.path());
  platform::ScopedFileSystem use(fs);
  std::vector<FoundFile> files;
  findFiles(dir.path(), true, files);
  EXPECT_EQ(Paths(files), std::vector<std::string>{dir.File("kept/c.z5")});
}

TEST(HasExtensionTest, EndingsAreComparedExactlyAndEmptyItemsVanish) {
  EXPECT_TRUE(hasExtension("/g/zork.z5", "z5,,z8"));
  EXPECT_TRUE(hasExtension("/g/zork.z8", "z5,,z8"));
  EXPECT_FALSE(hasExtension("/g/zork.Z5", "z5"));
  EXPECT_FALSE(hasExtension("/g/zork.z5", "Z5"));
  EXPECT_FALSE(hasExtension("/g/zork.z5", ""));
  EXPECT_FALSE(hasExtension("/g/zork.z5", ",,"));
  EXPECT_FALSE(hasExtension("z5", "zz5"));
  EXPECT_TRUE(hasExtension("z5", "z5"));
  EXPECT_TRUE(hasExtension("/g/notes.txt", "z5,txt"));  // any ending, not just after a dot
  EXPECT_TRUE(hasExtension("/g/az5", "z5"));
}

}  // namespace
