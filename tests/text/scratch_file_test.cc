#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "core/FacadeAccess.h"
#include "text/TextStore.h"
#include "tests/support/LibraryFixture.h"

namespace {

class ScratchFileTest : public LibraryTest {
 protected:
  CTextStore& Store() { return *CNarroAccess::TextStore(Facade()); }
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
  for (const auto& entry : Store().m_scratch) words.push_back(entry.first);
  EXPECT_EQ(words, (std::vector<std::wstring>{L"", L"A", L"b", L"last without end", L"x"}));
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), "\r\nA\r\nb\r\nlast without end\r\nx\r\n");
}

TEST_F(ScratchFileTest, BytesRoundTripAndWideCharactersBecomeZeroBytes) {
  WriteFile(ScratchFile(), "caf\xE9\n");
  StartLibrary();
  EXPECT_EQ(Store().m_scratch.count(L"caf\u00e9"), 1u);
  Store().AddScratch(L"\u20ac5");
  StopLibrary();
  EXPECT_EQ(ReadFile(ScratchFile()), std::string("caf\xE9\r\n\0" "5\r\n", 10));
}

TEST_F(ScratchFileTest, MissingFileGivesAnEmptyListAndUnloadWritesOne) {
  StartLibrary();
  EXPECT_TRUE(Store().m_scratch.empty());
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
  setenv("NARRO_DATA_DIR", DataFile("missing").c_str(), 1);
  StopLibrary();  // nothing to write into: no crash, no file
  EXPECT_FALSE(FileExists(DataFile("missing")));
}

}  // namespace
