// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "games/FileCache.h"
#include "platform/file/CountingFileSystem.h"
#include "tests/support/TempDir.h"

namespace {

class FileCacheTest : public ::testing::Test {
 protected:
  std::string CacheFile() const { return m_dir.File("filecache.txt"); }
  FileCache Load(const std::string& contents) {
    WriteFile(CacheFile(), contents);
    FileCache cache;
    loadFileCache(CacheFile(), cache);
    return cache;
  }
  TempDir m_dir;
};

TEST_F(FileCacheTest, CrLfOrLfLinesAreReadAndMalformedOnesSkipped) {
  FileCache none;
  EXPECT_EQ(loadFileCache(m_dir.File("absent.txt"), none), 0u);
  const std::string longLine(1 << 20, 'x');
  const FileCache cache = Load(
      "/g/a.z5|0000000A|1\r\n/g/b.z5|0000000B|4294967295\ngarbage\r\n\r\n\n|0000000A|1\n/g/a.z5||1\n/g/pipe|name.z5|0000000B|2\n" + longLine +
      "\n" + longLine + "|0000000D|4\n/g/d.z5|0000000D|12x\n/g/e.z5|0000000E|-1\n"
      "/g/f.z5|0000000F|4294967296\n/g/g.z5|00000001|5\n/g/g.z5|00000002|6\n/g/h.z5|0000\n/g/i.z5|0000000F|3");
  EXPECT_EQ(cache.size(), 8u);
  EXPECT_EQ(cache.at("/g/a.z5").stamp, 1u);
  EXPECT_EQ(cache.at("/g/b.z5").stamp, 4294967295u);
  EXPECT_EQ(cache.count("/g/pipe"), 0u);
  EXPECT_EQ(cache.at(longLine).stamp, 4u);
  EXPECT_EQ(cache.at("/g/d.z5").stamp, 0u);
  EXPECT_EQ(cache.at("/g/e.z5").stamp, 0u);
  EXPECT_EQ(cache.at("/g/f.z5").stamp, 0u);
  EXPECT_EQ(cache.at("/g/g.z5").crc, "00000002");
  EXPECT_EQ(cache.count("/g/h.z5"), 0u);
  EXPECT_EQ(cache.at("/g/i.z5").stamp, 3u);  // a last line without its end
}

TEST_F(FileCacheTest, WritesSortedCrLfLinesAndLeavesOutWhatCouldNotBeReadBack) {
  FileCache cache;
  cache["/g/b.z5"] = FileCacheEntry{"0000000B", 0};
  cache["/g/a.z5"] = FileCacheEntry{"0000000A", 4294967295u};
  cache["/g/x|y.z5"] = FileCacheEntry{"0000000C", 3};
  // A name with a line feed must not become a line of its own for
  // another file.
  cache["/g/evil\n/g/zork.z5|DEADBEEF|7\n.z5"] = FileCacheEntry{"0000000D", 4};
  ASSERT_TRUE(saveFileCache(CacheFile(), cache));
  EXPECT_EQ(ReadFile(CacheFile()), "/g/a.z5|0000000A|4294967295\r\n/g/b.z5|0000000B|0\r\n");
  FileCache reread;
  EXPECT_EQ(loadFileCache(CacheFile(), reread), 2u);
}

TEST(FileCacheWriterTest, WritesAtMostEveryIntervalAndWhatIsOwedAtTheEnd) {
  TempDir dir;
  platform::CountingFileSystem counting(platform::FileSystem::Real());
  platform::ScopedFileSystem use(counting);
  std::chrono::steady_clock::time_point now;
  FileCache cache;
  const std::string file = dir.File("filecache.txt");
  CFileCacheWriter writer(file, cache, [&] { return now; });
  for (int i = 0; i < 10; ++i) {
    cache["/f" + std::to_string(i)] = FileCacheEntry{"0000000A", 1};
    writer.WriteDue();
    now += std::chrono::milliseconds(50);
  }
  // Due at 0..450 ms: written at 200 and at 400, the rest at the end.
  EXPECT_EQ(counting.replaced[file], 2);
  writer.Finish();
  EXPECT_EQ(counting.replaced[file], 3);
  EXPECT_EQ(ReadFile(file).size(), 10 * std::string("/fN|0000000A|1\r\n").size());
  writer.Finish();
  EXPECT_EQ(counting.replaced[file], 3);

  FileCache untouched;
  CFileCacheWriter idle(dir.File("idle.txt"), untouched, [&] { return now; });
  idle.Finish();
  EXPECT_FALSE(FileExists(dir.File("idle.txt")));
}

}  // namespace
