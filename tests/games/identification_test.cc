#include <gtest/gtest.h>
#include <zlib.h>

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
                            size_t{1000003}}) {
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
}

}  // namespace
