// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/FileCache.h"

#include <limits>
#include <vector>

#include "platform/file/FileSystem.h"
#include "text/Tokenize.h"

namespace {

// Digits only, and small enough; anything else is 0, which only makes the
// next comparison with a file's time fail.
uint32_t ParseStamp(const std::string& text) {
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > std::numeric_limits<uint32_t>::max()) return 0;
  }
  return static_cast<uint32_t>(value);
}

// Far above the cache of any real collection of games.
constexpr size_t kMaxCacheBytes = 64u << 20;

// A CRC field the scan would trust must be what crcText makes: anything
// else would only ever match a record by accident, or never.
bool IsCrcText(const std::string& text) {
  if (text.size() != 8) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

void AddLine(std::string line, FileCache& cache) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::vector<std::string> pieces = Tokenize(line, "|");
  if (pieces.size() != 3 || !IsCrcText(pieces[1])) return;
  cache[pieces[0]] = FileCacheEntry{pieces[1], ParseStamp(pieces[2])};
}

bool ReadsBackAsWritten(const std::string& field) {
  return field.find_first_of("|\n") == std::string::npos;
}

}  // namespace

size_t loadFileCache(const std::string& file, FileCache& cache,
                     bool* mayReplace) {
  std::string contents;
  const platform::ReadResult read =
      platform::ReadWholeFile(file, kMaxCacheBytes, contents);
  if (mayReplace != nullptr) *mayReplace = read != platform::ReadResult::kUnreadable;
  if (read == platform::ReadResult::kRead) {
    size_t start = 0;
    while (start < contents.size()) {
      size_t end = contents.find('\n', start);
      if (end == std::string::npos) end = contents.size();
      AddLine(contents.substr(start, end - start), cache);
      start = end + 1;
    }
  }
  return cache.size();
}

bool saveFileCache(const std::string& file, const FileCache& cache) {
  std::string contents;
  for (const auto& [path, entry] : cache) {
    if (!ReadsBackAsWritten(path) || !ReadsBackAsWritten(entry.crc)) continue;
    contents += path;
    contents += '|';
    contents += entry.crc;
    contents += '|';
    contents += std::to_string(entry.stamp);
    contents += "\r\n";
  }
  return platform::Current<platform::FileSystem>().ReplaceFile(file, contents);
}

CFileCacheWriter::CFileCacheWriter(std::string file, const FileCache& cache,
                                   Clock clock)
    : m_file(std::move(file)),
      m_cache(cache),
      m_clock(std::move(clock)),
      m_lastWrite(m_clock()) {}

void CFileCacheWriter::WriteDue() {
  m_owed = true;
  if (m_clock() - m_lastWrite >= kInterval) Write();
}

void CFileCacheWriter::Finish() {
  if (m_owed) Write();
}

void CFileCacheWriter::Write() {
  if (m_keep) return;
  // A cache that cannot be written only costs time on the next scan.
  saveFileCache(m_file, m_cache);
  m_lastWrite = m_clock();
  m_owed = false;
}
