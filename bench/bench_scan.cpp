// SPDX-License-Identifier: GPL-3.0-or-later
// The game scan on a generated tree: 2,000 story-like files of 128 KiB in
// nested folders among 8,000 other files. Prints the cold scan (empty
// "filecache.txt"), the warm scan (everything cached) against
// "find DIR -type f", what the cold scan wrote to the cache, and the peak
// memory of the process.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

#include <algorithm>
#include <boost/make_shared.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "platform/file/CountingFileSystem.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"

extern char** environ;

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubFolders = 20;  // in each top folder: 200 leaf folders
constexpr int kStoriesPerLeaf = 10;
constexpr int kOthersPerLeaf = 40;
constexpr size_t kStorySize = 128 * 1024;
constexpr int kRepeats = 5;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string ZlibCrc(const std::string& data) {
  return crcText(static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size())));
}

void Write(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// Story files with a Z-machine-like header; returns their CRC texts.
std::vector<std::string> MakeTree(const std::string& root) {
  std::mt19937_64 random(7);
  std::vector<std::string> crcs;
  std::string story(kStorySize, '\0');
  for (int top = 0; top < kTopFolders; ++top) {
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const std::string leaf = root + "Shelf" + std::to_string(top) + "/box" +
                               std::to_string(sub) + "/inner/";
      std::filesystem::create_directories(leaf);
      for (int i = 0; i < kStoriesPerLeaf; ++i) {
        for (size_t at = 0; at + 8 <= story.size(); at += 8) {
          const uint64_t word = random();
          story.replace(at, 8, reinterpret_cast<const char*>(&word), 8);
        }
        story[0] = 5;
        story.replace(18, 6, "250101");
        crcs.push_back(ZlibCrc(story));
        Write(leaf + "Story" + std::to_string(i) + ".z5", story);
      }
      for (int i = 0; i < kOthersPerLeaf; ++i) {
        Write(leaf + "notes" + std::to_string(i) + ".txt", std::string(1024 + i * 64, 'n'));
      }
    }
  }
  return crcs;
}

struct ScanFigures {
  double milliseconds = 0;
  int found = 0;
  uint64_t bytesRead = 0;
  int storiesOpened = 0;
  uint64_t cacheBytesWritten = 0;
  int cacheWrites = 0;
};

ScanFigures Scan(const std::string& root, const std::vector<std::string>& crcs) {
  CGameLibrary library;
  library.setExtensions("z5", "sav");
  for (const std::string& crc : crcs) {
    library.catalogue.insert(boost::make_shared<CGame>("Story " + crc, crc, "250101"));
  }
  platform::CountingFileSystem counting(platform::FileSystem::Real());
  platform::ScopedFileSystem use(counting);
  const Clock::time_point start = Clock::now();
  ScanFigures figures;
  figures.found = library.scanGames(root.c_str(), nullptr, false);
  figures.milliseconds = MillisecondsSince(start);
  figures.bytesRead = counting.bytesRead;
  for (const auto& [path, times] : counting.opened) {
    if (path.size() > 3 && path.compare(path.size() - 3, 3, ".z5") == 0) {
      figures.storiesOpened += times;
    }
  }
  figures.cacheBytesWritten = counting.bytesWritten[FileCacheFile()];
  figures.cacheWrites = counting.replaced[FileCacheFile()];
  return figures;
}

// find DIR -type f, and with statWork the same listing that also reads
// every file's size and time, as the scan must.
double TimeFind(const std::string& root, bool statWork) {
  std::vector<const char*> argv = {"find", root.c_str(), "-type", "f"};
  if (statWork) {
    argv.push_back("-printf");
    argv.push_back("%s %T@\n");
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const Clock::time_point start = Clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, "find", &actions, nullptr, const_cast<char**>(argv.data()),
                   environ) != 0) {
    return -1;
  }
  waitpid(pid, nullptr, 0);
  posix_spawn_file_actions_destroy(&actions);
  return MillisecondsSince(start);
}

}  // namespace

int main() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/narro-bench-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const std::string root = pattern + "/tree/";
  const std::string data = pattern + "/data/";
  std::filesystem::create_directories(data);
  setenv("NARRO_DATA_DIR", data.c_str(), 1);
  unsetenv("NARRO_LOG");

  const std::vector<std::string> crcs = MakeTree(root);
  const ScanFigures cold = Scan(root, crcs);
  const uint64_t cacheSize = std::filesystem::file_size(FileCacheFile());

  std::vector<double> warmTimes, findTimes, findStatTimes;
  ScanFigures warm;
  for (int i = 0; i < kRepeats; ++i) {
    warm = Scan(root, crcs);
    warmTimes.push_back(warm.milliseconds);
    findTimes.push_back(TimeFind(root, false));
    findStatTimes.push_back(TimeFind(root, true));
  }
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);

  const int files = kTopFolders * kSubFolders * (kStoriesPerLeaf + kOthersPerLeaf);
  std::printf("bench_scan: %zu story files of %zu KiB among %d other files\n", crcs.size(),
              kStorySize / 1024, files - static_cast<int>(crcs.size()));
  std::printf("  cold scan:  %.0f ms, %.1f MiB read, %d found, %d story files opened\n",
              cold.milliseconds, cold.bytesRead / 1048576.0, cold.found, cold.storiesOpened);
  std::printf("  cache written during the cold scan: %llu bytes in %d writes; final file %llu "
              "bytes; ratio %.2f (target <= 5)\n",
              static_cast<unsigned long long>(cold.cacheBytesWritten), cold.cacheWrites,
              static_cast<unsigned long long>(cacheSize),
              static_cast<double>(cold.cacheBytesWritten) / static_cast<double>(cacheSize));
  std::printf("  warm scan:  %.1f ms (median of %d), %d found, %d story files opened "
              "(target 0)\n", Median(warmTimes), kRepeats, warm.found, warm.storiesOpened);
  std::printf("  find -type f: %.1f ms (median of %d); warm/find ratio %.2f (target <= 2)\n",
              Median(findTimes), kRepeats, Median(warmTimes) / Median(findTimes));
  std::printf("  find -type f -printf '%%s %%T@': %.1f ms (median of %d); warm/that ratio %.2f\n",
              Median(findStatTimes), kRepeats, Median(warmTimes) / Median(findStatTimes));
  std::printf("  peak memory: %.1f MiB (target <= 64)\n", usage.ru_maxrss / 1024.0);

  std::error_code ignored;
  std::filesystem::remove_all(pattern, ignored);
  return cold.found == static_cast<int>(crcs.size()) && warm.storiesOpened == 0 ? 0 : 1;
}
