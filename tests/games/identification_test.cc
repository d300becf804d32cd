// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>

#include "games/Identification.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

class IdentificationTest : public LibraryTest {};

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST(CrcTableTest, IsTheReflectedTableZlibUsesToo) {
  const uint32_t* table = crcTable();
  EXPECT_EQ(table, crcTable());
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[1], 0x77073096u);
  EXPECT_EQ(table[128], 0xEDB88320u);
  const z_crc_t* zlibTable = get_crc_table();
  for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], zlibTable[i]) << i;
}

// The CRC by its definition, one byte at a time through the table.
uint32_t TableWalk(const unsigned char* data, size_t size, uint32_t crc = 0) {
  const uint32_t* table = crcTable();
  uint32_t reg = crc ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) reg = (reg >> 8) ^ table[(reg ^ data[i]) & 0xFF];
  return reg ^ 0xFFFFFFFFu;
}

TEST(CrcUpdateTest, CheckValueOfTheNineDigits) {
  const char digits[] = "123456789";
  EXPECT_EQ(crcUpdate(0, digits, 9), 0xCBF43926u);
  EXPECT_EQ(TableWalk(reinterpret_cast<const unsigned char*>(digits), 9), 0xCBF43926u);
  EXPECT_EQ(crcUpdate(0, digits, 0), 0u);
  EXPECT_EQ(crcUpdate(0, nullptr, 0), 0u);
  EXPECT_EQ(crcUpdate(0xCBF43926u, nullptr, 0), 0xCBF43926u);
}

TEST(CrcUpdateTest, MatchesTheTableWalkAtEveryLengthAndAlignment) {
  // The fast code takes different paths for short tails, unaligned heads
  // and whole 64-byte blocks; these lengths and offsets reach them all.
  const std::string bytes = RandomBytes(300 + 16, 7);
  const unsigned char* base = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t size = 0; size <= 300; ++size) {
      ASSERT_EQ(crcUpdate(0, base + offset, size), TableWalk(base + offset, size))
          << "offset " << offset << ", size " << size;
    }
  }
}

TEST(CrcUpdateTest, UnevenPiecesChainToTheWholeCrc) {
  const std::string bytes = RandomBytes(3u << 20, 11);
  const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const uint32_t whole = TableWalk(data, bytes.size());
  EXPECT_EQ(crcUpdate(0, data, bytes.size()), whole);
  EXPECT_EQ(static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(bytes.size()))), whole);

  // Pieces from one byte to a few hundred thousand, at odd places.
  std::mt19937 random(13);
  uint32_t crc = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t limit = std::uniform_int_distribution<int>(0, 3)(random) == 0 ? 70 : 300000;
    const size_t piece = std::min(bytes.size() - done,
                                  std::uniform_int_distribution<size_t>(0, limit)(random));
    const uint32_t expected = TableWalk(data + done, piece, crc);
    crc = crcUpdate(crc, data + done, piece);
    ASSERT_EQ(crc, expected) << "after " << done << " bytes, a piece of " << piece;
    done += piece;
  }
  EXPECT_EQ(crc, whole);
}

TEST_F(IdentificationTest, CrcTextsOfKnownContents) {
  const std::string digits = DataFile("digits");
  WriteFile(digits, "123456789");
  const std::string empty = DataFile("empty.z5");
  WriteFile(empty, "");
  EXPECT_EQ(crcText(fileCRC(digits).crc), "CBF43926");
  const FileCrc emptyCrc = fileCRC(empty);
  EXPECT_TRUE(emptyCrc.ok);
  EXPECT_EQ(crcText(emptyCrc.crc), "00000000");
  EXPECT_EQ(crcText(0xABC), "00000ABC");
  EXPECT_EQ(crcText(0xFFFFFFFFu), "FFFFFFFF");
}

TEST_F(IdentificationTest, WholeFilesOfAnySizeMatchZlib) {
  // Sizes round the read buffer's edges, and line ends left untranslated.
  for (const size_t size : {size_t{1}, size_t{262143}, size_t{262144}, size_t{262145},
                            size_t{1048575}, size_t{1048576}, size_t{1048577},
                            size_t{2097153}}) {
    const std::string contents = RandomBytes(size, static_cast<unsigned>(size));
    const std::string path = DataFile("f" + std::to_string(size));
    WriteFile(path, contents);
    EXPECT_EQ(crcText(fileCRC(path).crc), ZlibCrcText(contents)) << size;
  }
  WriteFile(DataFile("lines"), "a\r\nb\nc\r");
  EXPECT_EQ(crcText(fileCRC(DataFile("lines")).crc), ZlibCrcText("a\r\nb\nc\r"));
  EXPECT_EQ(crcText(fileCRC(DemoFile("cave.z5")).crc), DemoCrc("cave.z5"));
}

TEST_F(IdentificationTest, GetCrcAnswersTheHostAndLeavesTheOutputOnFailure) {
  StartLibrary();
  WriteFile(DataFile("digits"), "123456789");
  CTTSString crc("untouched");
  EXPECT_TRUE(Facade().GetCRC(CTTSString(DataFile("digits")), crc));
  EXPECT_STREQ(crc, "CBF43926");
  crc = CTTSString("untouched");
  EXPECT_FALSE(Facade().GetCRC(CTTSString(DataFile("absent")), crc));
  EXPECT_FALSE(Facade().GetCRC(CTTSString(DataDir()), crc));  // a folder
  EXPECT_STREQ(crc, "untouched");
}

TEST_F(IdentificationTest, SerialsOfStoriesSavesAndShortFiles) {
  EXPECT_EQ(readSerial(DemoFile("cave.z5"), kStorySerialOffset), "250101");
  EXPECT_EQ(readSerial(DemoFile("lighthouse.z8"), kStorySerialOffset), "250301");
  EXPECT_EQ(readSerial(DemoFile("tower-top.qzl"), kSaveSerialOffset), "250214");
  EXPECT_TRUE(LogHas("About to get Serial Num: " + DemoFile("cave.z5")));

  const std::string path = DataFile("story");
  WriteFile(path, std::string(18, 'h'));
  EXPECT_EQ(readSerial(path, 18), "");
  WriteFile(path, std::string(18, 'h') + "123");
  EXPECT_EQ(readSerial(path, 18), "123");
  WriteFile(path, std::string(18, 'h') + std::string("12\0" "456789", 9));
  EXPECT_EQ(readSerial(path, 18), "12");
  WriteFile(path, std::string(18, 'h') + std::string("\0" "23456", 6));
  EXPECT_EQ(readSerial(path, 18), "");
  EXPECT_EQ(readSerial(DataFile("absent"), 18), "");
  EXPECT_EQ(readSerial(DemoFile("cave.z5"), kNoSerial), "");
}

}  // namespace
