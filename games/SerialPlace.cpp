// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/SerialPlace.h"

#include <algorithm>
#include <memory>

#include "games/Identification.h"
#include "platform/file/FileSystem.h"

namespace {

// Inform's "Info" block follows the 36-byte Glulx header; the serial is
// 18 bytes into the block, after its id, version and compiler version.
constexpr uint64_t kGlulxInfoOffset = 36;
constexpr uint64_t kGlulxSerialOffset = 54;
// A Quetzal file: "FORM", its length, "IFZS", then the IFhd chunk's id and
// length, and its data from 20.
constexpr uint64_t kIfhdDataOffset = 20;
constexpr uint32_t kGlulxIfhdLength = 128;
// A Blorb is a sequence of chunks; a hostile one may claim millions. The
// executable comes early in any real one (the resource index, which comes
// first, says where), so the walk gives up long before that.
constexpr int kMaxBlorbChunks = 4096;

// Exactly size bytes at offset, or false.
bool ReadAt(platform::InputFile& file, uint64_t offset, char* bytes, size_t size) {
  if (offset > file.Size() || size > file.Size() - offset) return false;
  if (!file.Seek(offset)) return false;
  size_t got = 0;
  while (got < size) {
    const long n = file.Read(bytes + got, size - got);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

bool IdAt(platform::InputFile& file, uint64_t offset, const char* id) {
  char bytes[4];
  return ReadAt(file, offset, bytes, 4) && std::string(bytes, 4) == id;
}

bool NumberAt(platform::InputFile& file, uint64_t offset, uint32_t& number) {
  unsigned char bytes[4];
  if (!ReadAt(file, offset, reinterpret_cast<char*>(bytes), 4)) return false;
  number = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
  return true;
}

// Where a Glulx image that starts at start keeps its serial.
uint64_t GlulxSerial(platform::InputFile& file, uint64_t start) {
  return IdAt(file, start + kGlulxInfoOffset, "Info") ? start + kGlulxSerialOffset : kNoSerial;
}

// The serial's place inside the chunk whose header is at chunk, when it is
// an executable one. A chunk too short to hold the serial has none, and so
// has one that runs past the end of the file: a Blorb cut short is broken,
// and whatever serial it seems to have could be part of one.
uint64_t ExecutableSerial(platform::InputFile& file, uint64_t chunk) {
  char id[4];
  uint32_t length = 0;
  if (!ReadAt(file, chunk, id, 4) || !NumberAt(file, chunk + 4, length)) return kNoSerial;
  const uint64_t data = chunk + 8;
  if (length > file.Size() - data) return kNoSerial;
  const std::string type(id, 4);
  if (type == "ZCOD" && length >= kStorySerialOffset + 6) return data + kStorySerialOffset;
  if (type == "GLUL" && length >= kGlulxSerialOffset + 6) return GlulxSerial(file, data);
  return kNoSerial;
}

// The resource index's executable entry names the chunk; a Blorb without
// an index, or with one that points nowhere useful, is walked chunk by
// chunk for the executable.
uint64_t BlorbSerial(platform::InputFile& file) {
  uint32_t indexLength = 0;
  uint32_t count = 0;
  if (IdAt(file, 12, "RIdx") && NumberAt(file, 16, indexLength) && NumberAt(file, 20, count)) {
    // The count is believed only as far as the chunk's own length allows.
    const uint64_t entries =
        indexLength < 4 ? 0 : std::min<uint64_t>(count, (indexLength - 4u) / 12u);
    for (uint64_t i = 0; i < entries; ++i) {
      const uint64_t entry = 24 + 12 * i;
      uint32_t start = 0;
      if (!IdAt(file, entry, "Exec")) continue;
      if (!NumberAt(file, entry + 8, start)) break;
      const uint64_t serial = ExecutableSerial(file, start);
      if (serial != kNoSerial) return serial;
      break;
    }
  }
  uint64_t chunk = 12;
  for (int i = 0; i < kMaxBlorbChunks; ++i) {
    uint32_t length = 0;
    if (!NumberAt(file, chunk + 4, length)) break;
    const uint64_t serial = ExecutableSerial(file, chunk);
    if (serial != kNoSerial) return serial;
    chunk += 8 + static_cast<uint64_t>(length) + (length & 1);  // chunks are padded to even
  }
  return kNoSerial;
}

std::string SerialAt(const std::string& path, uint64_t (*place)(platform::InputFile&)) {
  uint64_t offset = kNoSerial;
  {
    const std::unique_ptr<platform::InputFile> file =
        platform::Current<platform::FileSystem>().OpenForReading(path);
    if (file) offset = place(*file);
  }
  return readSerial(path, offset);
}

}  // namespace

uint64_t storySerialOffset(platform::InputFile& file) {
  if (IdAt(file, 0, "Glul")) return GlulxSerial(file, 0);
  if (IdAt(file, 0, "FORM") && IdAt(file, 8, "IFRS")) return BlorbSerial(file);
  // A Z-machine header begins with its version, 1 to 8; TADS, Hugo and
  // ADRIFT keep no serial at 18, only bytes that mean something else.
  char version = 0;
  if (!ReadAt(file, 0, &version, 1) || version < 1 || version > 8) return kNoSerial;
  return kStorySerialOffset;
}

uint64_t saveSerialOffset(platform::InputFile& file) {
  uint32_t length = 0;
  if (!IdAt(file, 0, "FORM") || !IdAt(file, 8, "IFZS")) return kNoSerial;  // not Quetzal
  if (IdAt(file, 12, "IFhd") && NumberAt(file, 16, length) && length == kGlulxIfhdLength) {
    return GlulxSerial(file, kIfhdDataOffset);
  }
  return kSaveSerialOffset;
}

bool saveKeepsNoSerial(const std::string& path) {
  const std::unique_ptr<platform::InputFile> file = platform::Current<platform::FileSystem>().OpenForReading(path);
  return file && file->Size() > 0 && saveSerialOffset(*file) == kNoSerial;
}

bool isSerialText(const std::string& serial) {
  if (serial.empty()) return false;
  for (const char c : serial) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string storySerial(const std::string& path) { return SerialAt(path, storySerialOffset); }

std::string saveSerial(const std::string& path) { return SerialAt(path, saveSerialOffset); }
