// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Options.h"

#include <gtest/gtest.h>

#include <vector>

using player::ApplyOptions;
using player::ParseOptions;
using player::PlayerOptions;
using player::PlayerSettings;
using player::UsageText;

namespace {

bool Parse(std::vector<const char*> args, PlayerOptions& options, std::string& error) {
  args.insert(args.begin(), "narro-play");
  return ParseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

// The error for arguments that must fail; the options stay untouched.
std::string ErrorFor(std::vector<const char*> args) {
  PlayerOptions options;
  options.story = "before";
  std::string error;
  EXPECT_FALSE(Parse(args, options, error));
  EXPECT_EQ(options.story, "before");
  EXPECT_NE(error, "");
  EXPECT_EQ(error.find('\n'), std::string::npos);
  return error;
}

}  // namespace

TEST(PlayerOptionsTest, NothingGivenIsNothingAsked) {
  PlayerOptions options;
  std::string error = "stale";
  ASSERT_TRUE(Parse({}, options, error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(options.story, "");
  EXPECT_FALSE(options.voice || options.rate || options.volume || options.help || options.version);
}

TEST(PlayerOptionsTest, EveryOptionInBothForms) {
  PlayerOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--voice", "Eva Mobile\\x", "zork1.z5", "--rate", "-5", "--volume", "0"},
                    options, error))
      << error;
  EXPECT_EQ(options.story, "zork1.z5");
  EXPECT_EQ(*options.voice, "Eva Mobile\\x");
  EXPECT_EQ(*options.rate, -5);
  EXPECT_EQ(*options.volume, 0);
  options = {};
  ASSERT_TRUE(Parse({"--rate=10", "--volume=100", "--voice=a=b", "--help", "--version"}, options, error));
  EXPECT_EQ(*options.rate, 10);
  EXPECT_EQ(*options.volume, 100);
  EXPECT_EQ(*options.voice, "a=b");
  EXPECT_TRUE(options.help && options.version);
  options = {};
  ASSERT_TRUE(Parse({"-h", "--voice="}, options, error));
  EXPECT_TRUE(options.help);
  EXPECT_EQ(*options.voice, "");  // the default voice, for this run
}

TEST(PlayerOptionsTest, DoubleDashEndsTheOptions) {
  PlayerOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--rate", "2", "--", "-x"}, options, error)) << error;
  EXPECT_EQ(options.story, "-x");
  EXPECT_EQ(*options.rate, 2);
  options = {};
  ASSERT_TRUE(Parse({"--", "--help"}, options, error));
  EXPECT_EQ(options.story, "--help");
  EXPECT_FALSE(options.help);
  options = {};
  ASSERT_TRUE(Parse({"-"}, options, error));
  EXPECT_EQ(options.story, "-");
}

TEST(PlayerOptionsTest, BadArgumentsSayWhatIsWrong) {
  EXPECT_EQ(ErrorFor({"--rate", "11"}), "--rate needs a number from -10 to 10");
  EXPECT_EQ(ErrorFor({"--rate=fast"}), "--rate needs a number from -10 to 10");
  EXPECT_EQ(ErrorFor({"--rate="}), "--rate needs a number from -10 to 10");
  EXPECT_EQ(ErrorFor({"--rate"}), "--rate needs a number from -10 to 10");
  EXPECT_EQ(ErrorFor({"--rate", "3.5"}), "--rate needs a number from -10 to 10");
  EXPECT_EQ(ErrorFor({"--volume", "101"}), "--volume needs a number from 0 to 100");
  EXPECT_EQ(ErrorFor({"--volume", "-1"}), "--volume needs a number from 0 to 100");
  EXPECT_EQ(ErrorFor({"--voice"}), "--voice needs a voice id");
  EXPECT_EQ(ErrorFor({"--help=yes"}), "--help takes no value");
  EXPECT_NE(ErrorFor({"-x"}).find("unknown option -x"), std::string::npos);
  EXPECT_NE(ErrorFor({"--speed", "3"}).find("unknown option --speed"), std::string::npos);
  EXPECT_NE(ErrorFor({"a.z5", "b.z5"}).find("only one story"), std::string::npos);
  EXPECT_NE(ErrorFor({"a.z5", "--", "-b"}).find("only one story"), std::string::npos);
  EXPECT_NE(ErrorFor({""}).find("empty"), std::string::npos);
}

TEST(PlayerOptionsTest, UsageNamesEveryOption) {
  const std::string usage = UsageText();
  for (const char* option : {"narro-play", "STORY", "--voice", "--rate", "--volume", "--help",
                             "--version", "--"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  EXPECT_GT(std::count(usage.begin(), usage.end(), '\n'), 3);
}

TEST(PlayerOptionsTest, OptionsOverrideOnlyWhatTheyGive) {
  PlayerSettings settings;
  settings.voiceId = "file voice";
  settings.rate = 4;
  settings.volume = 60;
  settings.flags = 99;
  settings.gamesFolder = "/games";
  ApplyOptions(PlayerOptions(), settings);
  EXPECT_EQ(settings.voiceId, "file voice");
  EXPECT_EQ(settings.rate, 4);
  EXPECT_EQ(settings.volume, 60);
  PlayerOptions options;
  options.voice = "";
  options.rate = -3;
  options.volume = 5;
  ApplyOptions(options, settings);
  EXPECT_EQ(settings.voiceId, "");
  EXPECT_EQ(settings.rate, -3);
  EXPECT_EQ(settings.volume, 5);
  EXPECT_EQ(settings.flags, 99u);
  EXPECT_EQ(settings.gamesFolder, "/games");
}
