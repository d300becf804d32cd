// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/games/GameTestData.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <boost/make_shared.hpp>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "tests/support/TempDir.h"

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

}  // namespace

std::string DemoFile(const std::string& name) { return NARRO_GAMES_TEST_DATA + name; }

std::string ZlibCrcText(const std::string& contents) {
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(contents.data()),
                          static_cast<uInt>(contents.size()));
  char text[9];
  std::snprintf(text, sizeof text, "%08lX", crc);
  return text;
}

void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

void WriteFileMaking(const std::string& path, const std::string& contents) {
  MakeFolders(std::filesystem::path(path).parent_path());
  WriteFile(path, contents);
}

void CopyFile(const std::string& from, const std::string& to) {
  const std::string contents = ReadFile(from);
  if (contents.empty()) throw std::runtime_error("no test data in " + from);
  WriteFileMaking(to, contents);
}

uint64_t LastWriteOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) throw std::runtime_error("no file " + path);
  return static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000u +
         static_cast<uint64_t>(st.st_mtim.tv_nsec / 100) + kUnixEpochAsFileTime;
}

void SetLastWrite(const std::string& path, uint64_t fileTime) {
  const uint64_t ticks = fileTime - kUnixEpochAsFileTime;
  const timespec times[2] = {
      {static_cast<time_t>(ticks / 10000000u), static_cast<long>(ticks % 10000000u) * 100},
      {static_cast<time_t>(ticks / 10000000u), static_cast<long>(ticks % 10000000u) * 100}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set the time of " + path);
  }
}

std::string DemoCrc(const std::string& story) { return ZlibCrcText(ReadFile(DemoFile(story))); }

GamePtr MakeGame(const std::string& name, const std::string& fingerprint,
                 const std::string& serial) {
  return boost::make_shared<CGame>(name, fingerprint, serial);
}

void AddDemoGames(GameSet& games) {
  games.insert(MakeGame("Cave Quest", DemoCrc("cave.z5"), "250101"));
  games.insert(MakeGame("The Tower", DemoCrc("tower.z5"), "250214"));
  games.insert(MakeGame("Lighthouse", DemoCrc("lighthouse.z8"), "250301"));
}
