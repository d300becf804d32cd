// SPDX-License-Identifier: GPL-3.0-or-later
// A story's format told by its own bytes, whatever its name says.
#include "player/StoryFormat.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <string>

#include "tests/support/TempDir.h"

using namespace player;

namespace {

std::string BigEndian(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  std::string chunk = type + BigEndian(static_cast<uint32_t>(data.size())) + data;
  if (data.size() % 2 == 1) chunk += '\0';
  return chunk;
}

std::string Blorb(const std::string& chunks) { return "FORM" + BigEndian(4 + chunks.size()) + "IFRS" + chunks; }

}  // namespace

TEST(StoryFormatTest, TheFilesOwnBytesDecide) {
  TempDir dir;
  const std::string zcode = ReadFile(NARRO_PLAYER_TEST_STORIES "/windfall.z5");
  ASSERT_GT(zcode.size(), 64u);
  // A Z-code story named as Glulx is Z-code.
  WriteFile(dir.File("windfall.ulx"), zcode);
  EXPECT_EQ(IdentifyStory(dir.File("windfall.ulx")).format, StoryFormat::kZcode);
  WriteFile(dir.File("story.z5"), "Glul" + std::string(100, '\0'));
  EXPECT_EQ(IdentifyStory(dir.File("story.z5")).format, StoryFormat::kGlulx);
  WriteFile(dir.File("a.gam"), std::string("TADS2 bin\x0a\x0d\x1a", 12) + std::string(40, 'x'));
  EXPECT_EQ(IdentifyStory(dir.File("a.gam")).format, StoryFormat::kTads2);
  WriteFile(dir.File("a.t3"), std::string("T3-image\x0d\x0a\x1a", 11) + std::string(40, 'x'));
  EXPECT_EQ(IdentifyStory(dir.File("a.t3")).format, StoryFormat::kTads3);
  WriteFile(dir.File("a.hex"), std::string(100, '\x1f'));
  EXPECT_EQ(IdentifyStory(dir.File("a.hex")).format, StoryFormat::kHugo);
  WriteFile(dir.File("notes.z5"), "These are my notes about the game, not a story at all.\n");
  EXPECT_EQ(IdentifyStory(dir.File("notes.z5")).format, StoryFormat::kUnknown);
  EXPECT_EQ(VmFor(StoryFormat::kUnknown), "");
  EXPECT_EQ(VmFor(StoryFormat::kZcode), "bocfel");
  EXPECT_EQ(VmFor(StoryFormat::kBlorbGlulx), "glulxe");
}

TEST(StoryFormatTest, ABlorbNamesItsExecutableAndItsTitle) {
  TempDir dir;
  const std::string metadata =
      "<?xml version=\"1.0\"?><ifindex><story><bibliographic><title>Tom &amp; Jerry&apos;s\n"
      "Caf\xC3\xA9</title><author>Someone</author></bibliographic></story></ifindex>";
  WriteFile(dir.File("game.gblorb"),
            Blorb(Chunk("RIdx", BigEndian(0)) + Chunk("IFmd", metadata) + Chunk("GLUL", "Glul" + std::string(60, 'g'))));
  const StoryInfo glulx = IdentifyStory(dir.File("game.gblorb"));
  EXPECT_EQ(glulx.format, StoryFormat::kBlorbGlulx);
  EXPECT_EQ(glulx.title, L"Tom & Jerry's Caf\xE9");

  WriteFile(dir.File("game.zblorb"), Blorb(Chunk("ZCOD", std::string(64, '\x05'))));
  const StoryInfo zcode = IdentifyStory(dir.File("game.zblorb"));
  EXPECT_EQ(zcode.format, StoryFormat::kBlorbZcode);
  EXPECT_EQ(zcode.title, L"");

  // A chunk length that runs past the end, and a Blorb with no executable.
  WriteFile(dir.File("cut.blb"), Blorb(Chunk("IFmd", "<title>x</title>")).substr(0, 20) + BigEndian(0x7FFFFFFF));
  EXPECT_EQ(IdentifyStory(dir.File("cut.blb")).format, StoryFormat::kUnknown);
  WriteFile(dir.File("pictures.blb"), Blorb(Chunk("PNG ", "....")));
  EXPECT_EQ(IdentifyStory(dir.File("pictures.blb")).format, StoryFormat::kUnknown);
}

TEST(StoryFormatTest, WhatIsNoFileIsUnknownAtOnce) {
  TempDir dir;
  // Opening a FIFO with no writer must not wait for one.
  ASSERT_EQ(mkfifo(dir.File("fifo.z5").c_str(), 0600), 0);
  EXPECT_EQ(IdentifyStory(dir.File("fifo.z5")).format, StoryFormat::kUnknown);
  ASSERT_EQ(mkdir(dir.File("folder.z5").c_str(), 0700), 0);
  EXPECT_EQ(IdentifyStory(dir.File("folder.z5")).format, StoryFormat::kUnknown);
  EXPECT_EQ(IdentifyStory(dir.File("missing.z5")).format, StoryFormat::kUnknown);
  WriteFile(dir.File("empty.z5"), "");
  EXPECT_EQ(IdentifyStory(dir.File("empty.z5")).format, StoryFormat::kUnknown);
}

namespace {

std::string Little(uint32_t value, int length) {
  std::string bytes;
  for (int i = 0; i < length; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// A TADS 3 image with one block before its resources and one resource,
// `name` (stored as TADS 3 stores names: each byte inverted) holding `text`.
std::string Tads3Image(const std::string& name, const std::string& text, uint16_t count = 1) {
  std::string image = std::string("T3-image\x0d\x0a\x1a", 11) + std::string(58, '\0');
  image += "ENTP" + Little(4, 4) + Little(0, 2) + "abcd";
  std::string entries;
  std::string inverted = name;
  for (char& c : inverted) c = static_cast<char>(~c);
  const uint32_t table = 2 + 9 + static_cast<uint32_t>(name.size());
  entries += Little(table, 4) + Little(static_cast<uint32_t>(text.size()), 4) +
             static_cast<char>(name.size()) + inverted;
  const std::string data = Little(count, 2) + entries + text;
  image += "MRES" + Little(static_cast<uint32_t>(data.size()), 4) + Little(0, 2) + data;
  image += "EOF " + Little(0, 4) + Little(0, 2);
  return image;
}

}  // namespace

// TADS 3 names itself in its GameInfo resource; a damaged resource table
// names nothing and reads nothing beyond the file.
TEST(StoryFormatTest, ATads3ImageIsNamedByItsGameInfo) {
  TempDir dir;
  WriteFile(dir.File("ditch.t3"),
            Tads3Image("GameInfo.txt", "Byline: by someone\nName: Return to Ditch Day\nIFID: x\n"));
  StoryInfo info = IdentifyStory(dir.File("ditch.t3"));
  EXPECT_EQ(info.format, StoryFormat::kTads3);
  EXPECT_EQ(info.title, L"Return to Ditch Day");
  WriteFile(dir.File("other.t3"), Tads3Image("cover.jpg", "Name: not a title"));
  EXPECT_EQ(IdentifyStory(dir.File("other.t3")).title, L"");
  WriteFile(dir.File("damaged.t3"), Tads3Image("gameinfo.txt", "Name: X", 65535).substr(0, 120));
  info = IdentifyStory(dir.File("damaged.t3"));
  EXPECT_EQ(info.format, StoryFormat::kTads3);
  EXPECT_EQ(info.title, L"");
}

namespace {

// A TADS 2 game: its fixed header, a section of code, the HTMLRES section
// with one resource, the end.
std::string Tads2Game(const std::string& name, const std::string& text) {
  std::string game = std::string("TADS2 bin\x0a\x0d\x1a\0v2.2.0\0\x28\0", 22) + "Sat Jun 01 19:51:38 2002\n" +
                     std::string(1, '\0');
  auto section = [&](const std::string& sectionName, const std::string& data) {
    const uint32_t next = static_cast<uint32_t>(game.size() + 1 + sectionName.size() + 4 + data.size());
    game += static_cast<char>(sectionName.size()) + sectionName + Little(next, 4) + data;
  };
  section("OBJ", "code");
  const std::string directory = Little(0, 4) + Little(static_cast<uint32_t>(text.size()), 4) +
                                Little(static_cast<uint32_t>(name.size()), 2) + name;
  section("HTMLRES", Little(1, 4) + Little(static_cast<uint32_t>(8 + directory.size()), 4) + directory + text);
  section("$EOF", "");
  return game;
}

// An ADRIFT 4 game: its signature, a few bytes, its lines compressed.
std::string Adrift4Game(const std::string& lines) {
  uLongf size = compressBound(lines.size());
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(lines.data()), lines.size());
  packed.resize(size);
  return std::string("\x3C\x42\x3F\xC9\x6A\x87\xC2\xCF\x93\x45\x3E\x61\x39\xFA", 14) + "00001234" + packed;
}

}  // namespace

// TADS 2 and ADRIFT 4 name themselves in the file too; what is not laid
// out as expected names nothing, and reads nothing beyond the file.
TEST(StoryFormatTest, Tads2AndAdriftGamesAreNamedByTheirOwnFile) {
  TempDir dir;
  WriteFile(dir.File("ditch.gam"), Tads2Game("GameInfo.txt", "Name: Ditch Day Drifter\r\nByline: by someone\r\n"));
  StoryInfo info = IdentifyStory(dir.File("ditch.gam"));
  EXPECT_EQ(info.format, StoryFormat::kTads2);
  EXPECT_EQ(info.title, L"Ditch Day Drifter");
  WriteFile(dir.File("other.gam"), Tads2Game("cover.jpg", "Name: not a title"));
  EXPECT_EQ(IdentifyStory(dir.File("other.gam")).title, L"");
  const std::string whole = Tads2Game("GameInfo.txt", "Name: Cut\r\n");
  for (size_t length : {whole.size() - 20, size_t{60}, size_t{49}}) {
    WriteFile(dir.File("cut.gam"), whole.substr(0, length));
    info = IdentifyStory(dir.File("cut.gam"));
    EXPECT_EQ(info.format, StoryFormat::kTads2);
    EXPECT_EQ(info.title, L"");
  }

  const std::string lines =
      "<centre>By Someone\r\nWelcome.\r\n\xBD\xD0\r\n0\r\nYou won.\r\nTHE END\r\n\xBD\xD0\r\n"
      "<font size=20><centre>Caf\xE9 in a Hamper</font>\r\nSomeone\r\n0\r\n";
  WriteFile(dir.File("hamper.taf"), Adrift4Game(lines));
  info = IdentifyStory(dir.File("hamper.taf"));
  EXPECT_EQ(info.format, StoryFormat::kAdrift);
  EXPECT_EQ(info.title, L"Caf\u00e9 in a Hamper");
  // Not the layout of the start (no room number after the first text),
  // cut short, or not compressed at all: named by the banner instead.
  WriteFile(dir.File("odd.taf"), Adrift4Game("Intro\r\n\xBD\xD0\r\nHall\r\nWon\r\n\xBD\xD0\r\nName\r\n"));
  EXPECT_EQ(IdentifyStory(dir.File("odd.taf")).title, L"");
  const std::string game = Adrift4Game(lines);
  WriteFile(dir.File("cut.taf"), game.substr(0, game.size() / 2));
  info = IdentifyStory(dir.File("cut.taf"));
  EXPECT_EQ(info.format, StoryFormat::kAdrift);
  EXPECT_EQ(info.title, L"");
  WriteFile(dir.File("old.taf"), std::string("\x3C\x42\x3F\xC9\x6A\x87\xC2\xCF", 8) + std::string(200, '\x5A'));
  EXPECT_EQ(IdentifyStory(dir.File("old.taf")).title, L"");
}
