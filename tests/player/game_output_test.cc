// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameOutput.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <sstream>
#include <vector>

#include "player/StoryFiles.h"
#include "player/Utf8Text.h"

using player::GameOutput;

namespace {

// What dfrotz prints for the cave story played with these commands, wrapped
// at width, exactly as the player runs it (minus the terminal).
std::string PlayCave(int width) {
  const std::string command = "printf 'north\\neast\\nexamine lantern\\nwest\\nlook\\n' | " +
                              std::string(NARRO_DFROTZ) + " -q -m -w " + std::to_string(width) +
                              " " + NARRO_CAVE_STORY + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// dfrotz's output cut after each ">" prompt that begins a line.
std::vector<std::string> Turns(const std::string& out) {
  std::vector<std::string> turns;
  size_t start = 0;
  for (size_t prompt; (prompt = out.find("\n>", start)) != std::string::npos; start = prompt + 2) {
    turns.push_back(out.substr(start, prompt + 2 - start));
  }
  return turns;
}

// A turn as the game wrote it: its non-blank lines, prompt left out.
std::wstring Sentences(const std::string& unwrapped) {
  std::wstringstream lines(player::DecodeUtf8(unwrapped.substr(0, unwrapped.size() - 1)));
  std::wstring line, result;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    result += (result.empty() ? L"" : L"\n") + line;
  }
  return result;
}

std::wstring Words(const std::wstring& text) {
  std::wstringstream in(text);
  std::wstring word, result;
  while (in >> word) result += word + L' ';
  return result;
}

// Feeds bytes in pieces of 1 to 7 bytes, as a pseudo-terminal may deliver them.
std::wstring AddInPieces(GameOutput& output, const std::string& bytes) {
  std::wstring shown;
  for (size_t at = 0, size = 1; at < bytes.size(); at += size, size = size % 7 + 1) {
    shown += output.Add(bytes.substr(at, size));
  }
  return shown;
}

}  // namespace

TEST(PlayerUtf8Test, EveryBadByteIsOneReplacement) {
  const struct {
    const char* bytes;
    const wchar_t* text;
  } cases[] = {
      {"a\x80z", L"a\xFFFDz"},                        // stray continuation
      {"\xC0\xAF", L"\xFFFD\xFFFD"},                  // overlong "/"
      {"\xE0\x80\xAF", L"\xFFFD\xFFFD\xFFFD"},        // overlong, three bytes
      {"\xF0\x80\x80\xAF", L"\xFFFD\xFFFD\xFFFD\xFFFD"},
      {"\xED\xA0\x80!", L"\xFFFD\xFFFD\xFFFD!"},      // a surrogate
      {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // above U+10FFFF
      {"\xE2\x82z", L"\xFFFD\xFFFDz"},                // cut short, then text
      {"z\xF0\x9F\x98", L"z\xFFFD\xFFFD\xFFFD"},      // cut short at the end
      {"\xFE\xFF", L"\xFFFD\xFFFD"},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", L"\xE9\x20AC\x1F600\x10FFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(player::DecodeUtf8(c.bytes), c.text) << c.bytes;
  }
  EXPECT_EQ(player::EncodeUtf8(std::wstring(L"\xE9\x20AC\x1F600\x10FFFF")),
            "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
  EXPECT_EQ(player::EncodeUtf8(static_cast<wchar_t>(0xD800)), "\xEF\xBF\xBD");
  EXPECT_EQ(player::EncodeUtf8(static_cast<wchar_t>(0x110000)), "\xEF\xBF\xBD");
  for (wchar_t ch : {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000}) {
    EXPECT_EQ(player::DecodeUtf8(player::EncodeUtf8(ch)), std::wstring(1, ch));
  }
}

TEST(PlayerGameOutputTest, SplitInputDecodesAsWhole) {
  // Valid and invalid sequences side by side, cut at every byte.
  const std::string bytes = "\xC3\xA9t\xE2\x82\xAC \xF0\x9F\x98\x80\xE2\x82!\x80\xED\xA0\x80.";
  const std::wstring whole = player::DecodeUtf8(bytes);
  ASSERT_EQ(whole, L"\xE9t\x20AC \x1F600\xFFFD\xFFFD!\xFFFD\xFFFD\xFFFD\xFFFD.");
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    GameOutput output(80);
    std::wstring shown = output.Add(bytes.substr(0, cut));
    shown += output.Add(bytes.substr(cut));
    EXPECT_EQ(shown, whole) << "cut at " << cut;
    EXPECT_EQ(output.TakeTurn(), whole);
  }
  GameOutput output(80);
  EXPECT_EQ(AddInPieces(output, bytes), whole);
}

TEST(PlayerGameOutputTest, ControlsAndEscapeSequencesGoLineFeedsStay) {
  EXPECT_EQ(player::CleanGameText(L"a\tb\r\nc\x07\x08\x7F\x85\x9B" L"2Jd\n"), L"a\tb\ncd\n");
  const std::string colored = "\x1B[1;31mRed\x1B[0m lamp\r\n\x1B]0;title\x07Next\x1B" "c line\n";
  for (size_t cut = 0; cut <= colored.size(); ++cut) {
    GameOutput output(80);
    std::wstring shown = output.Add(colored.substr(0, cut));
    shown += output.Add(colored.substr(cut));
    EXPECT_EQ(shown, L"Red lamp\nNext line\n") << "cut at " << cut;
  }
}

TEST(PlayerGameOutputTest, WhatTheGameWaitsFor) {
  GameOutput output(40);
  output.Add("You see a lamp.\n");
  EXPECT_EQ(output.Waiting(), GameOutput::Wait::kNothing);
  EXPECT_EQ(output.OpenLine(), L"");
  output.Add("\n>");
  EXPECT_EQ(output.Waiting(), GameOutput::Wait::kCommand);
  EXPECT_EQ(output.OpenLine(), L">");
  EXPECT_EQ(output.TakeTurn(), L"You see a lamp.");
  EXPECT_FALSE(output.HasText());

  // dfrotz's own questions, as dfrotz 2.54 prints them after a command; the
  // name may be cut inside a character.
  AddInPieces(output, "Please enter a filename [Zo\xC3\xAB.qzl]: ");
  EXPECT_EQ(output.Waiting(), GameOutput::Wait::kFileName);
  EXPECT_EQ(output.OpenLine(), L"Please enter a filename [Zo\xEB.qzl]: ");
  output.Discard();
  EXPECT_FALSE(output.HasText());
  output.Add("Overwrite existing file? ");
  EXPECT_EQ(output.Waiting(), GameOutput::Wait::kOverwrite);
  output.Discard();

  // A question of the game's own is a prompt the player must hear.
  output.Add("Are you sure you want to quit? ");
  EXPECT_EQ(output.Waiting(), GameOutput::Wait::kCommand);
  EXPECT_EQ(output.TakeTurn(), L"Are you sure you want to quit?");
}

TEST(PlayerGameOutputTest, RealTurnsComeBackAsTheGameWroteThem) {
  // At 255 columns nothing of the cave story wraps: the sentences as written.
  const std::vector<std::string> reference = Turns(PlayCave(255));
  ASSERT_EQ(reference.size(), 6u);
  EXPECT_EQ(Sentences(reference[1]),
            L"A vast hall of dripping stone. The entrance is south, a narrow crack leads east.");
  EXPECT_EQ(Sentences(reference[2]),
            L"You can barely turn round here. The hall is back west.\n"
            L"You can see a brass lantern here.");
  for (int width = 20; width <= 100; ++width) {
    const std::vector<std::string> turns = Turns(PlayCave(width));
    ASSERT_EQ(turns.size(), reference.size()) << "width " << width;
    GameOutput output(width);
    for (size_t i = 0; i < turns.size(); ++i) {
      AddInPieces(output, turns[i]);
      ASSERT_EQ(output.Waiting(), GameOutput::Wait::kCommand);
      const std::wstring turn = output.TakeTurn();
      const std::wstring expected = Sentences(reference[i]);
      // "A demo story of the Narro project." then "Release": below 42
      // columns dfrotz would have broken there too, so whether the game did
      // cannot be told.
      if (i == 0 && width < 42) {
        EXPECT_EQ(Words(turn), Words(expected)) << "width " << width;
      } else {
        EXPECT_EQ(turn, expected) << "width " << width << ", turn " << i;
      }
    }
  }
}

TEST(PlayerGameOutputTest, AHugeTurnKeepsItsLastWholeLines) {
  GameOutput output(0);
  std::string piece;
  size_t lines = 0;
  // 16 characters a line: the limit is a whole number of lines.
  const auto line = [](size_t n) {
    char text[32];
    snprintf(text, sizeof text, "line %09zu\xC3\xA9\n", n);
    return std::string(text);
  };
  for (size_t bytes = 0; bytes < (1u << 20); ++lines) {
    piece += line(lines);
    bytes += line(lines).size();
    if (piece.size() > 3000) {
      output.Add(piece.substr(0, 2999));  // cut inside the "é"
      piece.erase(0, 2999);
    }
  }
  output.Add(piece);
  const std::wstring turn = output.TakeTurn();
  ASSERT_LE(turn.size(), GameOutput::kTurnLimit);
  ASSERT_GE(turn.size(), GameOutput::kTurnLimit - 16);
  const size_t kept = GameOutput::kTurnLimit / 16;
  std::string expected;
  for (size_t n = lines - kept; n < lines; ++n) expected += line(n);
  expected.pop_back();
  EXPECT_EQ(turn, player::DecodeUtf8(expected));
}

TEST(PlayerBannerTest, TitleOnlyWhenTheBannerShowsIt) {
  // Debian's dfrotz drops the bold title: the line above the headline is blank.
  ASSERT_NE(Turns(PlayCave(80))[0].find(
                "\n\nA demo story of the Narro project.\nRelease 1 / Serial number"),
            std::string::npos);
  const auto title = [](const std::string& out, int width) {
    GameOutput output(width);
    output.Add(out);
    std::wstring paragraphs;
    output.TakeTurn(&paragraphs);
    return player::TitleFromBanner(paragraphs);
  };
  // Not at 34 to 41 columns: the headline's end and "Release" would not have
  // fitted on one line there, so they come joined and the banner is not found.
  for (int width : {30, 60, 80}) {
    const std::string banner = Turns(PlayCave(width))[0];
    EXPECT_EQ(title(banner, width), L"") << width;
    EXPECT_EQ(title("Long ago, in a land far away...\n" + banner, width), L"") << width;
    std::string shown = banner;
    shown.insert(banner.find("A demo"), "Cave Quest\n");
    EXPECT_EQ(title("Long ago, in a land far away...\n" + shown, width), L"Cave Quest") << width;
  }
}
