// SPDX-License-Identifier: GPL-3.0-or-later
// "filecache.txt": the CRC texts of the story files a scan has identified,
// so that a later scan need not read an unchanged file again. One line per
// file, "path|CRC text|stamp", the path as listed, the stamp the low half
// of the file's last-write time when its CRC was taken.
#ifndef NARRO_GAMES_FILE_CACHE_H_
#define NARRO_GAMES_FILE_CACHE_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

struct FileCacheEntry {
  std::string crc;
  uint32_t stamp = 0;
};

using FileCache = std::map<std::string, FileCacheEntry>;

// Adds the entries of the file to cache (a later line for the same path
// wins) and returns the number of entries then held. Lines that do not
// hold exactly three fields, or whose CRC field is not 8 upper-case
// hexadecimal digits, are skipped; a stamp that is not an unsigned 32-bit
// decimal number reads as 0. A missing file adds nothing, and so does one
// that is not a regular file or is larger than 64 MiB.
// mayReplace, when given, is set false when something is there that could
// not be read: that file is then never replaced.
size_t loadFileCache(const std::string& file, FileCache& cache,
                     bool* mayReplace = nullptr);

// Replaces the file whole, lines in key order, each ended by CR LF. An
// entry whose path or CRC text holds a "|" or a line feed could not be read
// back as written, so it is left out.
bool saveFileCache(const std::string& file, const FileCache& cache);

// Writes the cache of a running scan. The scan says each time a write is
// due; the writer writes at once when 200 ms have passed since its last
// write (or since it was made), and Finish() writes whatever is still owed,
// so that a scan of thousands of new files does not rewrite the whole cache
// for each of them, yet leaves the same file behind.
class CFileCacheWriter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kInterval{200};

  CFileCacheWriter(std::string file, const FileCache& cache,
                   Clock clock = std::chrono::steady_clock::now);

  void WriteDue();
  void Finish();
  // Writes nothing from now on (the file could not be read).
  void KeepFileAsItIs() { m_keep = true; }

 private:
  void Write();

  const std::string m_file;
  const FileCache& m_cache;
  const Clock m_clock;
  std::chrono::steady_clock::time_point m_lastWrite;
  bool m_owed = false;
  bool m_keep = false;
};

#endif  // NARRO_GAMES_FILE_CACHE_H_
