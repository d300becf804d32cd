// The game scan: every story file under a folder is identified by its CRC
// text, read from "filecache.txt" when the file's last-write time has not
// changed since its CRC was taken.
#include <boost/make_shared.hpp>
#include <memory>
#include <set>

#include "core/AppDirectory.h"
#include "core/Log.h"
#include "games/FileCache.h"
#include "games/FileSystem.h"
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

void MarkFound(CGame& game, const std::string& fn) {
  game.found = true;
  game.fn = fn;
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
        "unknown", fingerprint, readSerial(fn, kStorySerialOffset));
    game->fn = fn;
    if (m_target.insert(game).second) m_added.insert(game.get());
  }

 private:
  GameSet& m_target;
  std::set<const CGame*> m_added;
};

}  // namespace

std::string FileCacheFile() { return GetAppDirectory() + "filecache.txt"; }

void CGameLibrary::setExtensions(const char* gameExts, const char* saveExts) {
  gameExtensions = gameExts != nullptr ? gameExts : "";
  saveExtensions = saveExts != nullptr ? saveExts : "";
}

// The path stays as listed for opening the file and for fn, since on this
// platform the lower-cased path may name no file; the lower-cased path is
// what the endings are tested against, the cache key and what is logged.
int CGameLibrary::scanGames(const char* dir, GameSet* target,
                            bool includeUnsupported) {
  if (dir == nullptr) return 0;
  LogLine("About to scan game dirs: %s", dir);
  GameSet& games = target != nullptr ? *target : catalogue;

  FileCache cache;
  const std::string cacheFile = FileCacheFile();
  loadFileCache(cacheFile, cache);

  std::vector<FoundFile> files;
  const uint32_t total = findFiles(dir, true, files);
  if (total == 0) return 0;
  LogLine("total bytes: %ul", total);

  CFileCacheWriter cacheWriter(cacheFile, cache);
  CUnsupportedFiles unsupported(games);
  int count = 0;
  for (const FoundFile& file : files) {
    LogLine("Checking: %s", file.path);
    const std::string path = LowerCased(file.path);
    if (!hasExtension(path, gameExtensions)) continue;

    const uint32_t live = file.lastWrite.dwLowDateTime;
    const auto cached = cache.find(path);
    if (cached != cache.end()) {
      const FileCacheEntry& entry = cached->second;
      LogLine("Cache hit [%s]: live[%ul] -- cache[%ul]", path, live, entry.stamp);
      if (live == entry.stamp) {
        if (const GamePtr game = unsupported.Supported(entry.crc)) {
          LogLine("cached filefile: %s", path);
          MarkFound(*game, file.path);
          ++count;
        } else if (includeUnsupported) {
          unsupported.Add(entry.crc, file.path);
        }
        continue;
      }
    }

    LogLine("About to get CRC: %s", path);
    const std::unique_ptr<CInputFile> input =
        CFileSystem::Current().OpenForReading(file.path);
    const FileCrc crc = input ? fileCRC(*input) : FileCrc();
    if (!crc.ok) {
      setLastError("Could not load file: " + path);
      LogLine("load fail: %s", lastError.str());
    } else {
      const std::string fingerprint = crcText(crc.crc);
      if (const GamePtr game = unsupported.Supported(fingerprint)) {
        LogLine("Supported file: %s", path);
        MarkFound(*game, file.path);
        ++count;
        cache[path] = FileCacheEntry{fingerprint, live};
      } else if (includeUnsupported) {
        unsupported.Add(fingerprint, file.path);
        LogLine("Appending Unsupported file: %s", path);
      }
    }
    cacheWriter.WriteDue();
  }
  cacheWriter.Finish();
  return count;
}
