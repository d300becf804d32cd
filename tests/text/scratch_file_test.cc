// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/ChildProcess.h"
#include "text/TextStore.h"
#include "tests/support/LibraryFixture.h"

namespace {

class ScratchFileTest : public LibraryTest {
 protected:
  CTextStore& Store() { return CTextStore::GetSingleton(); }
  std::string ScratchFile() { return DataFile("scratchpad.txt"); }
};

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ScratchFileTest, HandWrittenFileComesBackSortedWholeAndCrLfEnded) {
  WriteFile(ScratchFile(), "b\nA\r\n\nx\nx\nlast without end");
  StartLibrary();
  std::vector<std::wstring> words;
  for (const auto& entry : Store().Scratch()) words.push_back(entry.first);
  EXPECT_EQ(words, (std::vector<std::wstring>{L"", L"A", L"b", L"last without end", L"x"}));
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), "\r\nA\r\nb\r\nlast without end\r\nx\r\n");
}

TEST_F(ScratchFileTest, BytesRoundTripAndWideCharactersBecomeZeroBytes) {
  WriteFile(ScratchFile(), "caf\xE9\n");
  StartLibrary();
  EXPECT_EQ(Store().Scratch().count(L"caf\u00e9"), 1u);
  Store().AddScratch(L"\u20ac5");
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), std::string("caf\xE9\r\n\0" "5\r\n", 10));
}

TEST_F(ScratchFileTest, MissingFileGivesAnEmptyListAndUnloadWritesOne) {
  StartLibrary();
  EXPECT_TRUE(Store().Scratch().empty());
  EXPECT_FALSE(Store().LoadScratch(DataFile("absent.txt")));
  Store().AddScratch(L"lantern");
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), "lantern\r\n");
  EXPECT_EQ(FolderEntries(DataDir()),
            (std::vector<std::string>{"narro.log", "scratchpad.txt"}));
}

TEST_F(ScratchFileTest, FailedSaveLeavesTheOldFileWholeAndNoTemporaryBehind) {
  WriteFile(ScratchFile(), "old\r\n");
  StartLibrary();
  for (int i = 0; i < 2000; ++i) Store().AddScratch(L"word" + std::to_wstring(i));
  // The file system refuses the write halfway, as a full disk would.
  signal(SIGXFSZ, SIG_IGN);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  EXPECT_FALSE(Store().SaveScratch(ScratchFile()));
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(ReadFile(ScratchFile()), "old\r\n");
  EXPECT_EQ(FolderEntries(DataDir()),
            (std::vector<std::string>{"narro.log", "scratchpad.txt"}));
  EXPECT_TRUE(Store().SaveScratch(ScratchFile()));
  EXPECT_EQ(ReadLines(ScratchFile()).size(), 2001u);
}

TEST_F(ScratchFileTest, UnwritableFolderLosesTheListQuietly) {
  StartLibrary();
  Store().AddScratch(L"gone");
  EXPECT_FALSE(Store().SaveScratch(DataFile("no/such/folder/scratchpad.txt")));
  // A data folder that cannot be made: a file stands where its parent
  // would be (a missing one that can be made is made, for the user alone).
  WriteFile(DataFile("file"), "");
  setenv("NARRO_DATA_DIR", DataFile("file/missing").c_str(), 1);
  StopLibrary();  // nothing to write into: no crash, no file
  EXPECT_FALSE(FileExists(DataFile("file/missing")));
  EXPECT_EQ(ReadFile(DataFile("file")), "");
}

// The unload writes the list back only over a file it could read, or where
// there was none: anything else would replace words it never held.
TEST_F(ScratchFileTest, AFileThatCouldNotBeReadIsNeverReplacedAtUnload) {
  // Not readable by its permission bits (a host running as root included).
  WriteFile(ScratchFile(), "secret\r\n");
  chmod(ScratchFile().c_str(), 0);
  StartLibrary();
  EXPECT_TRUE(Store().Scratch().empty());
  Store().AddScratch(L"new");
  StopLibrary();
  chmod(ScratchFile().c_str(), 0600);
  EXPECT_EQ(ReadFile(ScratchFile()), "secret\r\n");

  // Another user's file, in a folder this user may write.
  ASSERT_EQ(chown(ScratchFile().c_str(), 54321, 54321), 0);
  StartLibrary();
  EXPECT_TRUE(Store().Scratch().empty());
  StopLibrary();
  struct stat st;
  ASSERT_EQ(stat(ScratchFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 54321u);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadFile(ScratchFile()), "secret\r\n");
}

TEST_F(ScratchFileTest, AReadOnlyFileIsReadButNotRewritten) {
  WriteFile(ScratchFile(), "kept\r\n");
  chmod(ScratchFile().c_str(), 0444);
  StartLibrary();
  EXPECT_EQ(Store().Scratch().count(L"kept"), 1u);
  Store().AddScratch(L"added");
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), "kept\r\n");
}

TEST_F(ScratchFileTest, APipeAFolderOrAHugeFileIsNeitherReadNorReplaced) {
  ASSERT_EQ(mkfifo(ScratchFile().c_str(), 0600), 0);
  // Opening a pipe for reading waits for a writer: the load must not.
  const ChildOutcome outcome = RunInChild([this] {
    StartLibrary();
    Store().AddScratch(L"word");
    StopLibrary();
    struct stat st;
    return stat(ScratchFile().c_str(), &st) == 0 && S_ISFIFO(st.st_mode) ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
  unlink(ScratchFile().c_str());

  ASSERT_EQ(mkdir(ScratchFile().c_str(), 0700), 0);
  StartLibrary();
  Store().AddScratch(L"word");
  StopLibrary();
  struct stat st;
  ASSERT_EQ(stat(ScratchFile().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  rmdir(ScratchFile().c_str());

  // Larger than any list of words: read as nothing, before any allocation.
  WriteFile(ScratchFile(), "");
  ASSERT_EQ(truncate(ScratchFile().c_str(), (16 << 20) + 1), 0);
  StartLibrary();
  EXPECT_TRUE(Store().Scratch().empty());
  StopLibrary();
  ASSERT_EQ(stat(ScratchFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, (16 << 20) + 1);
}

TEST_F(ScratchFileTest, ALinkedFileIsReplacedThroughTheLinkWhichStays) {
  const std::string target = DataFile("lists/mine.txt");
  ASSERT_EQ(mkdir(DataFile("lists").c_str(), 0755), 0);
  WriteFile(target, "old\r\n");
  chmod(target.c_str(), 0640);
  ASSERT_EQ(symlink("lists/mine.txt", ScratchFile().c_str()), 0);
  StartLibrary();
  Store().AddScratch(L"new");
  StopLibrary();
  struct stat st;
  ASSERT_EQ(lstat(ScratchFile().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(target), "new\r\nold\r\n");
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // A link to something that is no regular file leaves it as it is.
  unlink(target.c_str());
  ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
  const ChildOutcome outcome = RunInChild([this] {
    StartLibrary();
    Store().AddScratch(L"word");
    return Store().SaveScratch(ScratchFile()) ? 1 : 0;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
