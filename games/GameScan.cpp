// SPDX-License-Identifier: GPL-3.0-or-later
// The game scan: every story file under a folder is identified by its CRC
// text, read from "filecache.txt" when the file's last-write time has not
// changed since its CRC was taken.
#include <boost/make_shared.hpp>
#include <memory>
#include <set>

#include "core/AppDirectory.h"
#include "core/Log.h"
#include "games/FileCache.h"
#include "platform/file/FileSystem.h"
#include "games/FolderWalk.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"

namespace {

std::string LowerCased(std::string path) {
  for (char& c : path) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return path;
}

// The records this scan made for unknown files. A second file with the
// same content must stay unknown too: not found, not counted, not cached,
// whichever of the two the walk meets first.
class CUnsupportedFiles {
 public:
  explicit CUnsupportedFiles(GameSet& target) : m_target(target) {}

  // The record of a known game with this fingerprint, or null.
  GamePtr Supported(const std::string& fingerprint) const {
    const GamePtr game = findGame(m_target, fingerprint);
    return game && m_added.count(game.get()) == 0 ? game : GamePtr();
  }

  // Two unknown files with equal content give one record.
  void Add(const std::string& fingerprint, const std::string& fn) {
    const GamePtr game = boost::make_shared<CGame>(
        "unknown", fingerprint, readStorySerial(fn));
    game->fn = fn;
    if (m_target.insert(game).second) m_added.insert(game.get());
  }

 private:
  GameSet& m_target;
  std::set<const CGame*> m_added;
};

// One scan's work on the files the walk found. File names on this
// platform are case-sensitive, so the path stays as listed for opening the
// file, for fn and as the cache key: two files whose names differ only in
// case are two files with a cache entry each. The lower-cased path is what
// the endings are tested against (GAME.Z5 is a story file) and what is
// logged.
class CGameScan {
 public:
  CGameScan(CGameLibrary& library, GameSet& games, bool includeUnsupported,
            const std::string& cacheFile)
      : m_library(library),
        m_includeUnsupported(includeUnsupported),
        m_unsupported(games),
        m_cacheWriter(cacheFile, m_cache) {
    bool mayReplace = true;
    loadFileCache(cacheFile, m_cache, &mayReplace);
    if (!mayReplace) m_cacheWriter.KeepFileAsItIs();
  }

  void Examine(const FoundFile& file) {
    LogLine("Checking: %s", file.path);
    const std::string path = LowerCased(file.path);
    if (!hasExtension(path, m_library.gameExtensions)) return;
    if (FromCache(file, path)) return;
    ByReading(file, path);
    m_cacheWriter.WriteDue();
  }

  int Finish() {
    m_cacheWriter.Finish();
    return m_count;
  }

 private:
  // True when the cache still holds the file's CRC text.
  bool FromCache(const FoundFile& file, const std::string& path) {
    const auto cached = m_cache.find(file.path);
    if (cached == m_cache.end()) return false;
    const FileCacheEntry& entry = cached->second;
    const uint32_t live = file.lastWrite.dwLowDateTime;
    LogLine("Cache hit [%s]: live[%ul] -- cache[%ul]", path, live, entry.stamp);
    if (live != entry.stamp) return false;
    if (const GamePtr game = m_unsupported.Supported(entry.crc)) {
      LogLine("cached filefile: %s", path);
      Found(*game, file);
    } else if (m_includeUnsupported) {
      m_unsupported.Add(entry.crc, file.path);
    }
    return true;
  }

  void ByReading(const FoundFile& file, const std::string& path) {
    LogLine("About to get CRC: %s", path);
    const std::unique_ptr<platform::InputFile> input =
        platform::Current<platform::FileSystem>().OpenForReading(file.path);
    const FileCrc crc = input ? fileCRC(*input) : FileCrc();
    if (!crc.ok) {
      m_library.setLastError("Could not load file: " + path);
      LogLine("load fail: %s", m_library.lastError.str());
      return;
    }
    const std::string fingerprint = crcText(crc.crc);
    if (const GamePtr game = m_unsupported.Supported(fingerprint)) {
      LogLine("Supported file: %s", path);
      Found(*game, file);
      m_cache[file.path] = FileCacheEntry{fingerprint, file.lastWrite.dwLowDateTime};
    } else if (m_includeUnsupported) {
      m_unsupported.Add(fingerprint, file.path);
      LogLine("Appending Unsupported file: %s", path);
    }
  }

  void Found(CGame& game, const FoundFile& file) {
    game.found = true;
    game.fn = file.path;
    ++m_count;
  }

  CGameLibrary& m_library;
  const bool m_includeUnsupported;
  CUnsupportedFiles m_unsupported;
  FileCache m_cache;
  CFileCacheWriter m_cacheWriter;
  int m_count = 0;
};

}  // namespace

std::string FileCacheFile() { return GetAppDirectory() + "filecache.txt"; }

void CGameLibrary::setExtensions(const char* gameExts, const char* saveExts) {
  gameExtensions = gameExts != nullptr ? gameExts : "";
  saveExtensions = saveExts != nullptr ? saveExts : "";
}

int CGameLibrary::scanGames(const char* dir, GameSet* target,
                            bool includeUnsupported) {
  if (dir == nullptr) return 0;
  LogLine("About to scan game dirs: %s", dir);
  CGameScan scan(*this, target != nullptr ? *target : catalogue, includeUnsupported,
                 FileCacheFile());
  std::vector<FoundFile> files;
  const uint64_t total = findFiles(dir, true, files);
  // Whether there is anything to examine is the question, not whether the
  // sizes add up to something: empty story files are identified too.
  if (files.empty()) return 0;
  LogLine("total bytes: %ul", total);
  for (const FoundFile& file : files) scan.Examine(file);
  return scan.Finish();
}
