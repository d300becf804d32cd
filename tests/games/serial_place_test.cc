// SPDX-License-Identifier: GPL-3.0-or-later
// Where the serial that ties saves to games is read: Z-code stories and
// saves as always, Glulx stories and saves made by Inform and emglken,
// Blorbs wrapping either, and files that only look like them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "games/Identification.h"
#include "games/SerialPlace.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

std::string Number(uint32_t n) {
  return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 8), static_cast<char>(n)};
}

std::string Chunk(const std::string& id, const std::string& data) {
  std::string chunk = id + Number(static_cast<uint32_t>(data.size())) + data;
  if (data.size() % 2) chunk += '\0';
  return chunk;
}

// A Blorb of the given chunks, its resource index first when exec is not
// zero: one "Exec" entry whose start is exec.
std::string Blorb(const std::string& chunks, uint32_t exec = 0) {
  std::string body = "IFRS";
  if (exec) body += Chunk("RIdx", Number(1) + "Exec" + Number(0) + Number(exec));
  body += chunks;
  return "FORM" + Number(static_cast<uint32_t>(body.size())) + body;
}

// Where a chunk would start after a one-entry index: 12 + 8 + 16.
constexpr uint32_t kAfterIndex = 36;

class SerialPlaceTest : public LibraryTest {
 protected:
  std::string Story(const std::string& contents) {
    WriteFile(DataFile("story"), contents);
    return storySerial(DataFile("story"));
  }
  std::string SaveOf(const std::string& contents) {
    WriteFile(DataFile("save"), contents);
    return saveSerial(DataFile("save"));
  }
  const std::string zcode = ReadFile(DemoFile("cave.z5"));
  const std::string glulx = ReadFile(DemoFile("cave.ulx"));
};

TEST_F(SerialPlaceTest, CompiledStoriesOfBothMachines) {
  EXPECT_EQ(storySerial(DemoFile("cave.z5")), "250101");
  EXPECT_EQ(storySerial(DemoFile("lighthouse.z8")), "250301");
  // Inform's block after the Glulx header: "Info" at 36, the serial at 54.
  ASSERT_EQ(glulx.substr(0, 4), "Glul");
  EXPECT_EQ(glulx.substr(36, 4), "Info");
  EXPECT_EQ(storySerial(DemoFile("cave.ulx")), "250101");
  // The serial is read once, with the log line it always had.
  EXPECT_TRUE(LogHas("About to get Serial Num: " + DemoFile("cave.ulx")));
}

TEST_F(SerialPlaceTest, AGlulxStoryWithoutInformsBlockHasNoSerial) {
  std::string story = glulx;
  story.replace(36, 4, "Junk");
  EXPECT_EQ(Story(story), "");
  EXPECT_EQ(Story(glulx.substr(0, 40)), "");  // cut inside the block
  EXPECT_EQ(Story(glulx.substr(0, 57)), "250");  // cut inside the serial
  EXPECT_EQ(Story("Glul"), "");
}

// Only a Z-machine header (its version, 1 to 8, first) keeps a serial at
// 18: TADS, Hugo and ADRIFT hold other bytes there, which are no serial
// and never reach the database.
TEST_F(SerialPlaceTest, OnlyZcodeKeepsItsSerialAt18) {
  EXPECT_EQ(Story(std::string(1, '\x05') + std::string(17, 'h') + "123456"), "123456");
  EXPECT_EQ(Story(std::string(18, 'h') + "123456"), "");
  EXPECT_EQ(Story(std::string("TADS2 bin\x0a\x0d\x1a", 12) + std::string(6, 'x') + "5373x\x9c"), "");
  EXPECT_EQ(Story(std::string(1, '\x03') + std::string(17, 'h') + "\x0f" "12345"), "");  // no text
  EXPECT_EQ(Story("Glu"), "");
  EXPECT_EQ(Story(""), "");
  // A Quetzal save is no story.
  EXPECT_EQ(Story(ReadFile(DemoFile("cave-hall.qzl"))), "");
  EXPECT_EQ(storySerial(DataFile("absent")), "");
}

TEST_F(SerialPlaceTest, ABlorbTakesTheSerialOfTheStoryItHolds) {
  EXPECT_EQ(Story(Blorb(Chunk("ZCOD", zcode), kAfterIndex)), "250101");
  EXPECT_EQ(Story(Blorb(Chunk("GLUL", glulx), kAfterIndex)), "250101");
  // Without an index the chunks are walked, odd lengths padded.
  EXPECT_EQ(Story(Blorb(Chunk("Fspc", "abc") + Chunk("GLUL", glulx))), "250101");
  // An index pointing past the end, or at another chunk, is passed over.
  EXPECT_EQ(Story(Blorb(Chunk("ZCOD", zcode), 0x7FFFFFF0)), "250101");
  EXPECT_EQ(Story(Blorb(Chunk("Fspc", "abcd") + Chunk("ZCOD", zcode), kAfterIndex)), "250101");
}

TEST_F(SerialPlaceTest, AHostileBlorbGivesNoSerialAndReadsNothingOutside) {
  EXPECT_EQ(Story(Blorb(Chunk("Fspc", "abcd"))), "");  // no story in it
  EXPECT_EQ(Story(Blorb("")), "");
  EXPECT_EQ(Story("FORM" + Number(4) + "IFRS"), "");
  // The executable cut off, before its serial or after it.
  EXPECT_EQ(Story(Blorb(Chunk("ZCOD", zcode)).substr(0, 12 + 8 + 20)), "");
  EXPECT_EQ(Story(Blorb(Chunk("GLUL", glulx)).substr(0, 12 + 8 + 40)), "");
  EXPECT_EQ(Story(Blorb(Chunk("GLUL", glulx)).substr(0, 12 + 8 + 100)), "");
  // A chunk too short to hold a serial, though the file goes on.
  EXPECT_EQ(Story(Blorb(Chunk("ZCOD", zcode.substr(0, 20)) + std::string(100, '1'))), "");
  // A length pointing past the end ends the walk.
  EXPECT_EQ(Story(Blorb("Fspc" + Number(0xFFFFFFF0u) + "x" + Chunk("ZCOD", zcode))), "");
  // An index that claims more entries than it holds.
  std::string index = "RIdx" + Number(4) + Number(0xFFFFFFFFu);
  EXPECT_EQ(Story(Blorb(index + Chunk("ZCOD", zcode))), "250101");
  EXPECT_EQ(Story(Blorb("RIdx" + Number(0) + Chunk("ZCOD", zcode))), "250101");
}

TEST_F(SerialPlaceTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = DataFile("fifo.ulx");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(storySerial(fifo), "");
  EXPECT_EQ(saveSerial(fifo), "");
}

TEST_F(SerialPlaceTest, SavesOfBothMachinesMadeByRealInterpreters) {
  EXPECT_EQ(saveSerial(DemoFile("cave-hall.qzl")), "250101");  // made at build time
  EXPECT_EQ(saveSerial(DemoFile("cave-hall-bocfel.glksave")), "250101");
  const std::string glulxSave = ReadFile(DemoFile("cave-hall-glulxe.glksave"));
  // Quetzal, with the game's first 128 bytes of memory as its header chunk:
  // the story's own header and Inform's block, from 20.
  ASSERT_EQ(glulxSave.substr(0, 4), "FORM");
  ASSERT_EQ(glulxSave.substr(8, 8), "IFZSIFhd");
  ASSERT_EQ(glulxSave.substr(16, 4), Number(128));
  EXPECT_EQ(glulxSave.substr(20, 60), glulx.substr(0, 60));
  EXPECT_NE(readSerial(DemoFile("cave-hall-glulxe.glksave"), kSaveSerialOffset), "250101");
  EXPECT_EQ(saveSerial(DemoFile("cave-hall-glulxe.glksave")), "250101");
}

TEST_F(SerialPlaceTest, OtherQuetzalSavesKeepTheZcodePlaceAndOtherSavesNone) {
  const std::string glulxSave = ReadFile(DemoFile("cave-hall-glulxe.glksave"));
  std::string save = glulxSave;
  save.replace(56, 4, "Junk");  // no Inform block: no serial
  EXPECT_EQ(SaveOf(save), "");
  EXPECT_EQ(SaveOf(glulxSave.substr(0, 60)), "");  // cut inside the block
  save = glulxSave;
  save.replace(16, 4, Number(13));  // the length of a Z-code header chunk
  EXPECT_EQ(SaveOf(save), save.substr(22, 6).substr(0, save.substr(22, 6).find('\0')));
  save = glulxSave;
  save.replace(12, 4, "IntD");  // no header chunk first
  EXPECT_EQ(SaveOf(save), save.substr(22, 6).substr(0, save.substr(22, 6).find('\0')));
  // Not Quetzal (a TADS, Hugo or ADRIFT save): no serial, whatever is at 22.
  EXPECT_EQ(SaveOf(std::string(22, 's') + "654321"), "");
  EXPECT_EQ(SaveOf("FORM"), "");
  EXPECT_EQ(SaveOf(""), "");
}

}  // namespace
