// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include <cstdio>

#include "platform/file/CountingFileSystem.h"
#include "games/GameLibrary.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Stamp(const std::string& path) {
  return std::to_string(static_cast<uint32_t>(LastWriteOf(path)));
}

class GameScanTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    library.setExtensions("z5,z8", "sav");
    AddDemoGames(library.catalogue);
  }
  // A fresh library as the next call of the list driver makes it.
  static std::unique_ptr<CGameLibrary> NextCall(const char* extensions = "z5,z8") {
    auto next = std::make_unique<CGameLibrary>();
    next->setExtensions(extensions, "sav");
    AddDemoGames(next->catalogue);
    return next;
  }
  std::string Games(const std::string& name = "") const { return DataFile("games/" + name); }
  std::string CacheFile() const { return DataFile("filecache.txt"); }
  int Scan(CGameLibrary& lib, GameSet* target = nullptr, bool unsupported = false) {
    return lib.scanGames(Games().c_str(), target, unsupported);
  }
  GamePtr Record(const CGameLibrary& lib, const std::string& story) const {
    return findGame(lib.catalogue, DemoCrc(story));
  }
  CGameLibrary library;
};

TEST_F(GameScanTest, AColdScanReadsAndCachesAWarmOneOpensNoStoryFile) {
  // Upper-case letters in the names, and in the temporary folder's name.
  const std::string cave = Games("Cave.Z5"), tower = Games("Sub/tower.z5");
  const std::string readme = Games("Sub/deeper/README.txt");
  CopyFile(DemoFile("cave.z5"), cave);
  CopyFile(DemoFile("tower.z5"), tower);
  WriteFileMaking(readme, "notes");
  const std::string total =
      std::to_string(ReadFile(cave).size() + ReadFile(tower).size() + 5) + "l";
  ClearLog();

  EXPECT_EQ(Scan(library), 2);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "About to scan game dirs: " + Games(), "total bytes: " + total,
                            "Checking: " + cave, "About to get CRC: " + Lower(cave),
                            "Supported file: " + Lower(cave), "Checking: " + tower,
                            "About to get CRC: " + Lower(tower), "Supported file: " + Lower(tower),
                            "Checking: " + readme}));
  EXPECT_TRUE(Record(library, "cave.z5")->found);
  EXPECT_EQ(Record(library, "cave.z5")->fn, cave);
  EXPECT_EQ(Record(library, "tower.z5")->fn, tower);
  EXPECT_FALSE(Record(library, "lighthouse.z8")->found);
  // File names are case-sensitive here: the cache keeps the paths as listed.
  EXPECT_EQ(ReadFile(CacheFile()),
            cave + "|" + DemoCrc("cave.z5") + "|" + Stamp(cave) + "\r\n" + tower + "|" +
                DemoCrc("tower.z5") + "|" + Stamp(tower) + "\r\n");

  platform::CountingFileSystem counting(platform::FileSystem::Real());
  platform::ScopedFileSystem use(counting);
  ClearLog();
  const auto warm = NextCall();
  EXPECT_EQ(Scan(*warm), 2);
  const std::string hit = "Cache hit [" + Lower(cave) + "]: live[" + Stamp(cave) + "l] -- cache[" +
                          Stamp(cave) + "l]";
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "About to scan game dirs: " + Games(), "total bytes: " + total,
                            "Checking: " + cave, hit, "cached filefile: " + Lower(cave),
                            "Checking: " + tower,
                            "Cache hit [" + Lower(tower) + "]: live[" + Stamp(tower) +
                                "l] -- cache[" + Stamp(tower) + "l]",
                            "cached filefile: " + Lower(tower), "Checking: " + readme}));
  EXPECT_EQ(Record(*warm, "cave.z5")->fn, cave);
  EXPECT_EQ(counting.opened, (std::map<std::string, int>{{CacheFile(), 1}}));
  EXPECT_TRUE(counting.replaced.empty());
}

TEST_F(GameScanTest, OnlyTheLowHalfOfTheLastWriteTimeDecidesWhetherToReadAgain) {
  const std::string game = Games("game.z5");
  CopyFile(DemoFile("cave.z5"), game);
  const uint64_t time = LastWriteOf(game);
  Scan(library);

  // Other content under the same time: the cache still says Cave Quest.
  CopyFile(DemoFile("tower.z5"), game);
  SetLastWrite(game, time);
  auto next = NextCall();
  EXPECT_EQ(Scan(*next), 1);
  EXPECT_TRUE(Record(*next, "cave.z5")->found);
  SetLastWrite(game, time + (uint64_t{1} << 32));
  next = NextCall();
  Scan(*next);
  EXPECT_TRUE(Record(*next, "cave.z5")->found);

  // Rewritten in place: a new time, read again.
  SetLastWrite(game, time + 10000000);
  next = NextCall();
  ClearLog();
  EXPECT_EQ(Scan(*next), 1);
  EXPECT_TRUE(LogHas("About to get CRC: " + Lower(game)));
  EXPECT_TRUE(Record(*next, "tower.z5")->found);
  EXPECT_FALSE(Record(*next, "cave.z5")->found);

  // Renamed: read again, and the old line stays.
  ASSERT_EQ(rename(game.c_str(), Games("renamed.z5").c_str()), 0);
  next = NextCall();
  ClearLog();
  EXPECT_EQ(Scan(*next), 1);
  EXPECT_TRUE(LogHas("About to get CRC: " + Lower(Games("renamed.z5"))));
  EXPECT_EQ(ReadLines(CacheFile()).size(), 2u);
}

TEST_F(GameScanTest, EndingsAreTestedOnTheLowerCasedPath) {
  CopyFile(DemoFile("cave.z5"), Games("CAVE.Z5"));
  CopyFile(DemoFile("lighthouse.z8"), Games("light.z8"));
  EXPECT_EQ(NextCall("Z5")->scanGames(Games().c_str(), nullptr, false), 0);
  auto both = NextCall("z5,,z8");
  EXPECT_EQ(Scan(*both), 2);
  EXPECT_EQ(Record(*both, "cave.z5")->fn, Games("CAVE.Z5"));
  ClearLog();
  EXPECT_EQ(NextCall("")->scanGames(Games().c_str(), nullptr, false), 0);
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.rfind("Checking: ", 0) == 0; }),
            2);
}

TEST_F(GameScanTest, UnknownFilesBecomeUncountedRecordsAndStayOutOfTheCache) {
  // Z-code in its first byte: its serial is read at 18.
  const std::string unknown = "\x05" + std::string(17, 'h') + "ABCDEF" + "rest";
  WriteFileMaking(Games("one.z5"), unknown);
  WriteFileMaking(Games("a/same.z5"), unknown);
  WriteFileMaking(Games("b/other.z5"), unknown + "!");
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  Scan(library);  // caches cave.z5

  GameSet target;
  auto next = NextCall();
  EXPECT_EQ(next->scanGames(Games().c_str(), &target, true), 0);
  ASSERT_EQ(target.size(), 3u);  // cave.z5 from the cache, two unknown contents
  const GamePtr one = findGame(target, ZlibCrcText(unknown));
  EXPECT_EQ(one->FullName, "unknown");
  EXPECT_EQ(one->sn, "ABCDEF");
  EXPECT_FALSE(one->found);
  const GamePtr cached = findGame(target, DemoCrc("cave.z5"));
  EXPECT_EQ(cached->fn, Games("cave.z5"));
  EXPECT_EQ(cached->sn, "250101");
  EXPECT_TRUE(LogHas("Appending Unsupported file: " + Lower(Games("b/other.z5"))));
  EXPECT_EQ(ReadLines(CacheFile()).size(), 1u);
}

TEST_F(GameScanTest, AFolderOfEmptyStoryFilesIsScannedToo) {
  EXPECT_EQ(library.scanGames(nullptr, nullptr, true), 0);
  EXPECT_TRUE(LogLines().empty());
  mkdir(Games().c_str(), 0755);
  EXPECT_EQ(Scan(library), 0);  // nothing found, nothing examined
  EXPECT_EQ(LogLines(), std::vector<std::string>{"About to scan game dirs: " + Games()});
  EXPECT_FALSE(FileExists(CacheFile()));

  // Sizes that add up to 0 are no reason to pass the files over.
  library.catalogue.insert(MakeGame("Empty", "00000000", ""));
  WriteFileMaking(Games("empty.z5"), "");
  EXPECT_EQ(Scan(library), 1);
  EXPECT_TRUE(findGame(library.catalogue, "00000000")->found);
  EXPECT_TRUE(LogHas("total bytes: 0l"));
  EXPECT_EQ(ReadFile(CacheFile()), Games("empty.z5") + "|00000000|" + Stamp(Games("empty.z5")) + "\r\n");
}

TEST_F(GameScanTest, AGameFoundTwiceKeepsTheLastPathAndCountsTwice) {
  CopyFile(DemoFile("cave.z5"), Games("cave.z5"));
  CopyFile(DemoFile("cave.z5"), Games("copy/cave.z5"));
  EXPECT_EQ(Scan(library), 2);
  EXPECT_EQ(Record(library, "cave.z5")->fn, Games("copy/cave.z5"));
}

// Refuses to open one file, and breaks off reading another half way.
class RefusingFiles : public platform::CountingFileSystem {
 public:
  RefusingFiles(std::string refused, std::string broken)
      : platform::CountingFileSystem(platform::FileSystem::Real()), m_refused(refused), m_broken(broken) {}
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    if (path == m_refused) return nullptr;
    std::unique_ptr<platform::InputFile> file = platform::CountingFileSystem::OpenForReading(path);
    if (path != m_broken || !file) return file;
    class HalfWay : public platform::InputFile {
     public:
      explicit HalfWay(std::unique_ptr<platform::InputFile> inner) : m_inner(std::move(inner)) {}
      long Read(char* buffer, size_t size) override {
        return m_done++ ? -1 : m_inner->Read(buffer, std::min<size_t>(size, 100));
      }
      bool Seek(uint64_t offset) override { return m_inner->Seek(offset); }
      uint64_t Size() const override { return m_inner->Size(); }
      std::unique_ptr<platform::InputFile> m_inner;
      int m_done = 0;
    };
    return std::make_unique<HalfWay>(std::move(file));
  }

 private:
  const std::string m_refused, m_broken;
};

TEST_F(GameScanTest, FilesThatCannotBeReadAreReportedAndNeverCached) {
  CopyFile(DemoFile("cave.z5"), Games("Locked.z5"));
  CopyFile(DemoFile("tower.z5"), Games("sub/broken.z5"));
  RefusingFiles refusing(Games("Locked.z5"), Games("sub/broken.z5"));
  platform::ScopedFileSystem use(refusing);
  EXPECT_EQ(Scan(library), 0);
  const std::string message = "Could not load file: " + Lower(Games("locked.z5"));
  EXPECT_TRUE(LogHas("load fail: " + message));
  EXPECT_TRUE(LogHas("load fail: Could not load file: " + Lower(Games("sub/broken.z5"))));
  EXPECT_EQ(library.lastError.str(), "Could not load file: " + Lower(Games("sub/broken.z5")));
  EXPECT_FALSE(Record(library, "tower.z5")->found);
  EXPECT_EQ(ReadFile(CacheFile()), "");  // written, as after every file read
}

}  // namespace
