// SPDX-License-Identifier: GPL-3.0-or-later
// A story file is known by the CRC-32 of its whole content (IEEE 802.3,
// as zlib and PKZIP compute it), written as 8 upper-case hexadecimal digits.
// The serial in its header is a second, weaker mark that ties saved games
// to their story file.
#ifndef NARRO_GAMES_IDENTIFICATION_H_
#define NARRO_GAMES_IDENTIFICATION_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {
class InputFile;
}

// Offsets of the 6-byte serial: in a Z-machine story header, and inside the
// IFhd chunk of a Quetzal saved game.
constexpr uint64_t kStorySerialOffset = 18;
constexpr uint64_t kSaveSerialOffset = 22;
// The offset of a file that keeps no serial; readSerial gives "" for it.
constexpr uint64_t kNoSerial = UINT64_MAX;

// The 256-entry table of the reflected polynomial 0xEDB88320, made on
// first use and shared by the whole process. Walking it a byte at a time
// (register = (register >> 8) ^ table[(register ^ byte) & 0xFF], from
// 0xFFFFFFFF, inverted at the end) is the plain definition of the CRC that
// the fast crcUpdate is checked against.
const uint32_t* crcTable();

// Feeds bytes through the CRC register. Start with crcUpdate(0, ...) and
// pass each result on to continue; the result is the finished CRC.
uint32_t crcUpdate(uint32_t crc, const void* data, size_t size);

struct FileCrc {
  bool ok = false;  // false when the file could not be opened or read
  uint32_t crc = 0;
};

// The CRC of the whole file; {false, 0} when it cannot be opened or read
// to its end (a CRC of part of a file would name the wrong game).
FileCrc fileCRC(const std::string& path);
FileCrc fileCRC(platform::InputFile& file);

std::string crcText(uint32_t crc);

// Up to 6 bytes at offset, cut before the first 0 byte; empty when the
// file cannot be read there, offset is kNoSerial, or the bytes are not
// printable ASCII (they are then no serial).
std::string readSerial(const std::string& path, uint64_t offset);

#endif  // NARRO_GAMES_IDENTIFICATION_H_
