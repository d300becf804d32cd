// SPDX-License-Identifier: GPL-3.0-or-later
// Windfall, the story narro-play starts with, played through its
// walkthrough by emglken's Bocfel, and the Z-code builds of the test
// stories played to their end; and every story the build makes known to the
// shipped database under its own CRC.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "games/GameLibrary.h"
#include "games/Identification.h"
#include "games/SerialPlace.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"

namespace {

// What the story says, a paragraph a line, as narro-glk-script prints it.
// Whitespace runs become one space here.
std::string OneLine(const std::string& text) {
  std::string out;
  bool space = false;
  for (const char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      space = true;
      continue;
    }
    if (space && !out.empty()) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

std::vector<std::string> Walkthrough() { return ReadLines(NARRO_DEMO_WALKTHROUGH); }

// The story's whole text for the commands, a ">" line at each prompt, as
// the interpreter gives it to a player.
std::string Play(const std::vector<std::string>& commands,
                 const std::string& story = NARRO_DEMO_STORY) {
  TempDir dir;
  std::string input;
  for (const std::string& command : commands) input += command + "\n";
  WriteFile(dir.File("input"), input);
  std::string out;
  // timeout only keeps a broken story from hanging the test run.
  const int status = RunShellCommand(
      "timeout 90 " + ShellQuoted(NARRO_GLK_SCRIPT) + " " + ShellQuoted(story) +
          " < " + ShellQuoted(dir.File("input")) + " 2>&1",
      out);
  EXPECT_EQ(status, 0) << out;
  return out;
}

// The text each command got back: the part after its prompt.
std::vector<std::string> Replies(const std::string& out) {
  std::vector<std::string> replies;
  size_t at = out.find('>');
  while (at != std::string::npos) {
    const size_t next = out.find('>', at + 1);
    replies.push_back(OneLine(out.substr(at + 1, next == std::string::npos ? next : next - at - 1)));
    at = next;
  }
  return replies;
}

TEST(WindfallTest, TheWalkthroughIsOneCommandALineAndFifteenToThirtyLong) {
  const std::vector<std::string> commands = Walkthrough();
  EXPECT_GE(commands.size(), 15u);
  EXPECT_LE(commands.size(), 30u);
  for (const std::string& command : commands) {
    EXPECT_FALSE(OneLine(command).empty()) << "an empty line would be a wasted turn";
    EXPECT_EQ(command.find('\r'), std::string::npos);
  }
}

TEST(WindfallTest, TheWalkthroughWinsWithTheFullScoreOnItsLastMove) {
  const std::vector<std::string> commands = Walkthrough();
  const std::string out = Play(commands);
  const std::vector<std::string> replies = Replies(out);
  // One reply per command, then the question after the ending.
  ASSERT_EQ(replies.size(), commands.size() + 1) << out;
  const std::string win = "The harvest is saved, and the story of Windfall ends here.";
  for (size_t i = 0; i + 1 < commands.size(); ++i) {
    EXPECT_EQ(replies[i].find(win), std::string::npos) << "won early, at " << commands[i];
  }
  const std::string& last = replies[commands.size() - 1];
  EXPECT_NE(last.find(win), std::string::npos) << last;

  std::smatch score;
  ASSERT_TRUE(std::regex_search(last, score,
                                std::regex("you scored (\\d+) out of a possible (\\d+), in (\\d+) turns")))
      << last;
  EXPECT_EQ(score[1], score[2]) << "the full score";
  EXPECT_EQ(score[2], "10");
  const int turns = std::stoi(score[3]);
  EXPECT_GE(turns, 15);
  EXPECT_LE(turns, 30);
  EXPECT_EQ(static_cast<size_t>(turns), commands.size()) << "every command is a move";
  EXPECT_NE(last.find("Would you like to RESTART"), std::string::npos) << "the ending's question";
}

TEST(WindfallTest, EveryRoomNamesItselfInItsDescriptionsFirstSentence) {
  const std::string out = OneLine(Play(Walkthrough()));
  // The room names themselves are bold, and reach the player too.
  for (const char* sentence : {
           "You stand at the orchard gate, where a gravel path runs north between two high "
           "hedges into the old orchard.",
           "You stand in the middle of the old orchard, among crooked apple trees heavy "
           "with red fruit.",
           "You stand in the cottage kitchen, low and warm, where a wicker basket waits on "
           "the table beside a cold stove.",
           "You stand beside the mossy well in the west corner of the orchard, where a "
           "rusty winch sits over the dark water.",
           "You stand inside the potting shed, which smells of damp earth and old twine.",
           "You cling to the top of the tallest apple tree, high above the orchard, with "
           "the cottage roof below you to the north.",
       }) {
    EXPECT_NE(out.find(sentence), std::string::npos) << sentence;
  }
  for (const char* room : {"Orchard Gate", "Old Orchard", "Cottage Kitchen", "Potting Shed"}) {
    EXPECT_NE(out.find(room), std::string::npos) << room;
  }
}

TEST(WindfallTest, TheStoryFileNeverChanges) {
  // Serial and release are fixed in the source: the file is the same at
  // every build, and so is its CRC in the shipped database.
  EXPECT_EQ(readSerial(NARRO_DEMO_STORY, kStorySerialOffset), "261207");
  const FileCrc crc = fileCRC(NARRO_DEMO_STORY);
  ASSERT_TRUE(crc.ok);
  EXPECT_EQ(crcText(crc.crc), "516989EA");
}

std::string TestStory(const std::string& file) {
  return std::string(NARRO_STORIES_DIR) + "/" + file;
}

TEST(TestStoriesTest, StylesIsWonByItsWalkthrough) {
  const std::vector<std::string> commands = ReadLines(NARRO_STYLES_WALKTHROUGH);
  ASSERT_EQ(commands.size(), 2u);
  const std::string out = OneLine(Play(commands, TestStory("styles.z5")));
  // Every style reaches the player: the bold room name, the underlined
  // word, the fixed-pitch line.
  EXPECT_NE(out.find("Plain Room A bare room with one door, to the north."), std::string::npos) << out;
  EXPECT_NE(out.find("*** You have won ***"), std::string::npos) << out;
  EXPECT_NE(out.find("A sign reads: EXIT NORTH"), std::string::npos) << out;
  EXPECT_NE(out.find("Pictures cover every wall."), std::string::npos) << out;
  EXPECT_NE(out.find("You lift the cup."), std::string::npos) << out;
  EXPECT_NE(out.find("Would you like to RESTART"), std::string::npos) << "the ending's question";
}

TEST(TestStoriesTest, EachShowsItsFeatureAndQuits) {
  const struct {
    const char* file;
    std::vector<std::string> commands;
    const char* shown;
  } stories[] = {
      {"quotebox.z5", {"read plaque"}, "The words are cut deep into the brass."},
      // A letter opens its topic, any key ends its pause, Q leaves the menu.
      {"menu.z5", {"menu", "b", "x", "q"}, "Type commands such as LOOK, and QUIT to leave."},
      // The script sends no timer events, so only the waiting is seen; the
      // player's tests hear the bell.
      {"timer.z5", {"wait for bell"}, "You wait for the bell."},
  };
  for (const auto& story : stories) {
    std::vector<std::string> commands = story.commands;
    commands.push_back("quit");
    commands.push_back("y");
    const std::string out = OneLine(Play(commands, TestStory(story.file)));
    EXPECT_NE(out.find(story.shown), std::string::npos) << story.file << ": " << out;
    EXPECT_NE(out.find("Are you sure you want to quit?"), std::string::npos)
        << story.file << ": " << out;
  }
}

TEST(DemoStoriesTest, EachIsInTheShippedDatabaseUnderItsCrcSerialAndFileName) {
  CGameLibrary library;
  ASSERT_TRUE(library.readFingerprintFile(NARRO_SHIPPED_FINGERPRINTS)) << library.lastError.str();
  std::istringstream stories(NARRO_DEMO_STORIES);
  std::string story;
  size_t count = 0;
  while (std::getline(stories, story, '|')) {
    ++count;
    const FileCrc crc = fileCRC(story);
    ASSERT_TRUE(crc.ok) << story;
    const GamePtr game = findGame(library.catalogue, crcText(crc.crc));
    ASSERT_TRUE(game) << story << " (" << crcText(crc.crc)
                      << ") is not in games/fingerprints.xml: put narro crc's CRC there";
    EXPECT_EQ(game->fn, story.substr(story.rfind('/') + 1));
    EXPECT_EQ(game->sn, storySerial(story)) << story;
    EXPECT_EQ(game->sn.size(), 6u) << story;
  }
  // Windfall, Cave Quest, The Tower, Lighthouse and the four test stories
  // (styles, quotebox, menu, timer), each for the Z-machine and for Glulx.
  EXPECT_EQ(count, 16u);
  EXPECT_EQ(library.catalogue.size(), count) << "a record for a story the build does not make";
  const GamePtr windfall = findGame(library.catalogue, "516989EA");
  ASSERT_TRUE(windfall);
  EXPECT_EQ(windfall->FullName, "Windfall");
  EXPECT_EQ(windfall->warn, "");
}

}  // namespace
