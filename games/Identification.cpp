// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/Identification.h"

#include <isa-l/crc.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/Log.h"
#include "platform/file/FileSystem.h"

namespace {

constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;
// Large enough that the read calls cost little beside the CRC itself, which
// runs at the speed of memory; small enough to stay in the cache.
constexpr size_t kReadSize = 1024 * 1024;

struct CrcTable {
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) {
        c = (c & 1) ? kReflectedPolynomial ^ (c >> 1) : c >> 1;
      }
      entries[i] = c;
    }
  }
  uint32_t entries[256];
};

}  // namespace

const uint32_t* crcTable() {
  // Built once, on first use; the language makes that safe across threads.
  static const CrcTable table;
  return table.entries;
}

uint32_t crcUpdate(uint32_t crc, const void* data, size_t size) {
  // ISA-L folds 64 bytes at a time with carry-less multiplication, as fast
  // as memory delivers them: several times zlib's speed on a large story
  // file. It takes and returns the finished value, as zlib does, inverting
  // the register itself on the way in and out, so results chain alike.
  // It only reads the bytes; its declaration merely lacks the const.
  if (size == 0) return crc;
  return crc32_gzip_refl(crc, const_cast<uint8_t*>(static_cast<const uint8_t*>(data)), size);
}

FileCrc fileCRC(platform::InputFile& file) {
  std::vector<char> buffer(kReadSize);
  uint32_t crc = 0;
  for (;;) {
    const long n = file.Read(buffer.data(), buffer.size());
    if (n < 0) return FileCrc();
    if (n == 0) return FileCrc{true, crc};
    crc = crcUpdate(crc, buffer.data(), static_cast<size_t>(n));
  }
}

FileCrc fileCRC(const std::string& path) {
  const std::unique_ptr<platform::InputFile> file = platform::Current<platform::FileSystem>().OpenForReading(path);
  if (!file) return FileCrc();
  return fileCRC(*file);
}

std::string crcText(uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", crc);
  return text;
}

std::string readSerial(const std::string& path, uint64_t offset) {
  LogLine("About to get Serial Num: %s", path);
  if (offset == kNoSerial) return std::string();
  const std::unique_ptr<platform::InputFile> file = platform::Current<platform::FileSystem>().OpenForReading(path);
  if (!file || !file->Seek(offset)) return std::string();
  char bytes[6];
  size_t got = 0;
  while (got < sizeof bytes) {
    const long n = file->Read(bytes + got, sizeof bytes - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  const std::string serial = std::string(bytes, got).substr(0, std::string(bytes, got).find('\0'));
  // A serial is text; control bytes or bytes past ASCII mean this place
  // holds something else, and must never reach the XML database.
  for (const char c : serial) {
    if (c < 0x20 || c > 0x7E) return std::string();
  }
  return serial;
}
