// SPDX-License-Identifier: GPL-3.0-or-later
// The game library's data files as a hostile or careless world leaves them:
// pipes, folders and huge files where a database should be, documents
// nested beyond reason, links, many writers at once, a cache that lies.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "games/GameLibrary.h"
#include "platform/file/CountingFileSystem.h"
#include "tests/games/GameTestData.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LibraryFixture.h"

extern char** environ;

namespace {

class HostileFilesTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
  }
  bool AddNewGame(const std::string& file, const std::string& name) {
    CTTSString fileText(file), nameText(name);
    return Facade().addNewGame(fileText, nameText);
  }
  std::string UserFile() const { return DataFile("User_Fingerprints.xml"); }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
  size_t UserRecordCount() {
    CGameLibrary reread;
    EXPECT_TRUE(reread.readFingerprintFile(UserFile())) << reread.lastError.str();
    return reread.catalogue.size();
  }
  bool IsFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool IsPipe(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
  }
};

std::string Nested(int depth) {
  std::string text = "<games>";
  for (int i = 0; i < depth; ++i) text += "<a>";
  for (int i = 0; i < depth; ++i) text += "</a>";
  return text + "</games>";
}

TEST_F(HostileFilesTest, DeeplyNestedDatabasesAreRefusedWithTheXmlProblemLine) {
  WriteFile(DataFile("fingerprints.xml"), "<?xml version=\"1.0\" ?>\n" + Nested(40000));
  CGameLibrary library;
  EXPECT_FALSE(library.readFingerprintFile(DataFile("fingerprints.xml")));
  EXPECT_EQ(library.lastError.str(),
            "Problem with XML format, check syntax of file: " + DataFile("fingerprints.xml") +
                "\nElements nested more than 64 deep\nLine: 2 Col: 197\n");

  // The user's database too; addNewGame keeps it aside and starts afresh.
  WriteFile(UserFile(), Nested(40000));
  EXPECT_TRUE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  EXPECT_EQ(UserRecordCount(), 1u);
  EXPECT_EQ(ReadFile(UserFile() + ".broken"), Nested(40000));

  // Nesting a real document uses, comments and quoted '>' do not count.
  WriteFile(DataFile("fine.xml"),
            "<games><!-- <a><a><a> --><supported_game fingerprint=\"0000000A\" "
            "FullName=\"a > b\" sn=\"1\"/>" + Nested(60).substr(7));
  CGameLibrary fine;
  EXPECT_TRUE(fine.readFingerprintFile(DataFile("fine.xml"))) << fine.lastError.str();
  EXPECT_EQ(fine.catalogue.size(), 1u);
}

TEST_F(HostileFilesTest, FoldersPipesAndHugeFilesAreUnreadableAndNeverReplaced) {
  // A folder where the user's database should be.
  ASSERT_EQ(mkdir(UserFile().c_str(), 0755), 0);
  EXPECT_FALSE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  EXPECT_TRUE(IsFolder(UserFile()));
  EXPECT_FALSE(FileExists(UserFile() + ".broken"));
  rmdir(UserFile().c_str());

  // A sparse file of 64 GB: refused before anything is allocated for it.
  WriteFile(UserFile(), "");
  ASSERT_EQ(truncate(UserFile().c_str(), 64ll << 30), 0);
  EXPECT_FALSE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  struct stat st;
  ASSERT_EQ(stat(UserFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 64ll << 30);
  unlink(UserFile().c_str());

  // Pipes where the databases and the cache should be: nothing waits for a
  // writer that never comes, and nothing replaces them.
  for (const char* name : {"fingerprints.xml", "User_Fingerprints.xml", "filecache.txt"}) {
    ASSERT_EQ(mkfifo(DataFile(name).c_str(), 0600), 0);
  }
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  const ChildOutcome outcome = RunInChild([this] {
    CGameLibrary library;
    library.setExtensions("z5", "sav");
    library.loadFingerprints(nullptr, 0);
    library.scanGames(Games().c_str(), nullptr, true);
    CTTSString file(DemoFile("cave.z5")), name("Cave");
    return Facade().addNewGame(file, name) ? 1 : 0;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
  for (const char* name : {"fingerprints.xml", "User_Fingerprints.xml", "filecache.txt"}) {
    EXPECT_TRUE(IsPipe(DataFile(name))) << name;
  }
}

TEST_F(HostileFilesTest, TwentyWritersAtOnceKeepEveryRecord) {
  // Twenty different stories, each added by a narro process of its own.
  const std::string story = ReadFile(DemoFile("cave.z5"));
  std::vector<pid_t> children;
  for (int i = 0; i < 20; ++i) {
    const std::string file = Games("story" + std::to_string(i) + ".z5");
    WriteFileMaking(file, story + std::string(1 + static_cast<size_t>(i), 'x'));
  }
  for (int i = 0; i < 20; ++i) {
    std::vector<std::string> args = {NARRO_TOOL, "add-game",
                                     Games("story" + std::to_string(i) + ".z5"),
                                     "Story " + std::to_string(i)};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, NARRO_TOOL, nullptr, nullptr, argv.data(), environ), 0);
    children.push_back(pid);
  }
  int failed = 0;
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
  }
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(UserRecordCount(), 20u);
  EXPECT_FALSE(FileExists(UserFile() + ".broken"));
}

TEST_F(HostileFilesTest, ALinkedDatabaseIsReplacedThroughTheLink) {
  WriteFile(DataFile("mine.xml"), "<games></games>");
  chmod(DataFile("mine.xml").c_str(), 0640);
  ASSERT_EQ(symlink(DataFile("mine.xml").c_str(), UserFile().c_str()), 0);
  EXPECT_TRUE(AddNewGame(DemoFile("cave.z5"), "Cave"));
  struct stat st;
  ASSERT_EQ(lstat(UserFile().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(DataFile("mine.xml").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(UserRecordCount(), 1u);
}

class GameScanEdgesTest : public HostileFilesTest {
 protected:
  void SetUp() override {
    HostileFilesTest::SetUp();
    library.setExtensions("z5,z8", "sav");
    AddDemoGames(library.catalogue);
  }
  int Scan(CGameLibrary& lib) { return lib.scanGames(Games().c_str(), nullptr, false); }
  CGameLibrary library;
};

TEST_F(GameScanEdgesTest, NamesThatDifferOnlyInCaseAreTwoFilesWithACacheEntryEach) {
  CopyFile(DemoFile("cave.z5"), Games("Game.z5"));
  CopyFile(DemoFile("tower.z5"), Games("game.z5"));
  SetLastWrite(Games("game.z5"), LastWriteOf(Games("Game.z5")));
  EXPECT_EQ(Scan(library), 2);
  EXPECT_EQ(ReadLines(DataFile("filecache.txt")).size(), 2u);
  CGameLibrary warm;
  warm.setExtensions("z5", "sav");
  AddDemoGames(warm.catalogue);
  EXPECT_EQ(Scan(warm), 2);
  EXPECT_EQ(findGame(warm.catalogue, DemoCrc("cave.z5"))->fn, Games("Game.z5"));
  EXPECT_EQ(findGame(warm.catalogue, DemoCrc("tower.z5"))->fn, Games("game.z5"));
}

// Reports sizes that add up to exactly 2^32, as large real files would.
class SizesAddingToFourGiB : public platform::CountingFileSystem {
 public:
  SizesAddingToFourGiB() : CountingFileSystem(platform::FileSystem::Real()) {}
  bool ListFolder(const std::string& folder,
                  std::vector<platform::FolderEntry>& entries) override {
    const bool ok = CountingFileSystem::ListFolder(folder, entries);
    for (platform::FolderEntry& entry : entries) {
      if (entry.name == "huge.dat") entry.size = (1ull << 32) - ReadFile(DemoFile("cave.z5")).size();
    }
    return ok;
  }
};

TEST_F(GameScanEdgesTest, AFolderWhoseSizesAddUpToAMultipleOfFourGiBIsScanned) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  WriteFile(Games("huge.dat"), "x");
  SizesAddingToFourGiB fs;
  platform::ScopedFileSystem use(fs);
  EXPECT_EQ(Scan(library), 1);
  EXPECT_TRUE(LogHas("total bytes: 4294967296l"));
}

TEST_F(GameScanEdgesTest, ACacheThatCouldNotBeReadIsNotReplaced) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  WriteFile(DataFile("filecache.txt"), "");
  ASSERT_EQ(truncate(DataFile("filecache.txt").c_str(), (64 << 20) + 1), 0);
  EXPECT_EQ(Scan(library), 1);
  struct stat st;
  ASSERT_EQ(stat(DataFile("filecache.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, (64 << 20) + 1);
}

TEST_F(GameScanEdgesTest, ACacheLineWhoseCrcIsNotCrcTextIsNotTrusted) {
  const std::string cave = Games("cave.z5");
  CopyFile(DemoFile("cave.z5"), cave);
  std::string lower = DemoCrc("cave.z5");
  for (char& c : lower) c = static_cast<char>(tolower(c));
  const std::string stamp = std::to_string(static_cast<uint32_t>(LastWriteOf(cave)));
  WriteFile(DataFile("filecache.txt"), cave + "|" + lower + "|" + stamp + "\r\n" +
                                           Games("x.z5") + "|12345|" + stamp + "\r\n");
  EXPECT_EQ(Scan(library), 1);
  EXPECT_EQ(findGame(library.catalogue, DemoCrc("cave.z5"))->fn, cave);
  EXPECT_EQ(ReadFile(DataFile("filecache.txt")),
            cave + "|" + DemoCrc("cave.z5") + "|" + stamp + "\r\n");
}

}  // namespace
