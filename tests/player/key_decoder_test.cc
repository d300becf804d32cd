// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KeyDecoder.h"

#include <gtest/gtest.h>

#include <vector>

using player::Key;
using player::KeyCode;
using player::KeyDecoder;

namespace {

// Keys as text, so that a failure shows what came instead.
std::string Name(const Key& key) {
  std::string name = std::to_string(static_cast<int>(key.code));
  if (key.code == KeyCode::kChar || key.code == KeyCode::kAlt) name += ":" + std::to_string(key.ch);
  if (key.code == KeyCode::kFunction) name += ":F" + std::to_string(key.number);
  return name;
}
std::string Name(KeyCode code) { return Name(Key{code}); }
std::string Name(KeyCode code, wchar_t ch) { return Name(Key{code, ch}); }
std::string F(int number) { return Name(Key{KeyCode::kFunction, 0, number}); }

std::vector<std::string> Drain(KeyDecoder& keys) {
  std::vector<std::string> names;
  while (std::optional<Key> key = keys.Next()) names.push_back(Name(*key));
  return names;
}

// The keys of bytes fed at once, and fed one byte at a time; both must agree.
std::vector<std::string> Decode(const std::string& bytes) {
  KeyDecoder whole;
  whole.Feed(bytes);
  std::vector<std::string> keys = Drain(whole);
  EXPECT_FALSE(whole.Pending());
  KeyDecoder split;
  std::vector<std::string> byByte;
  for (char byte : bytes) {
    split.Feed(std::string(1, byte));
    for (const std::string& key : Drain(split)) byByte.push_back(key);
  }
  EXPECT_EQ(byByte, keys) << "fed byte by byte";
  return keys;
}

}  // namespace

TEST(PlayerKeyDecoderTest, TerminalSequences) {
  const struct {
    const char* bytes;
    std::string key;
  } cases[] = {
      {"\x1B[A", Name(KeyCode::kUp)},      {"\x1BOB", Name(KeyCode::kDown)},
      {"\x1B[C", Name(KeyCode::kRight)},   {"\x1B[1;5D", Name(KeyCode::kLeft)},
      {"\x1B[H", Name(KeyCode::kHome)},    {"\x1BOF", Name(KeyCode::kEnd)},
      {"\x1B[1~", Name(KeyCode::kHome)},   {"\x1B[4~", Name(KeyCode::kEnd)},    // tmux
      {"\x1B[7~", Name(KeyCode::kHome)},   {"\x1B[8~", Name(KeyCode::kEnd)},    // rxvt
      {"\x1B[3~", Name(KeyCode::kDelete)}, {"\x1B[3;2~", Name(KeyCode::kDelete)},
      {"\x1BOP", F(1)},    {"\x1BOS", F(4)},    {"\x1B[11~", F(1)},  {"\x1B[15~", F(5)},
      {"\x1B[17~", F(6)},  {"\x1B[21~", F(10)}, {"\x1B[23~", F(11)}, {"\x1B[24~", F(12)},
      {"\x1B[[A", F(1)},   {"\x1B[[E", F(5)},   // the Linux console
      {"\x1B[2~", Name(KeyCode::kOther)},       {"\x1B[200~", Name(KeyCode::kOther)},
      // F3, bare and with Control; a late answer to where the cursor is, no key.
      {"\x1BOR", F(3)},   {"\x1B[1;5R", F(3)},
      {"\x1B[24;1R", Name(KeyCode::kOther)},   {"\x1B[1;1R", Name(KeyCode::kOther)},
      {"\r", Name(KeyCode::kEnter)},        {"\x7F", Name(KeyCode::kBackspace)},
      {"\x08", Name(KeyCode::kBackspace)},  {"\x03", Name(KeyCode::kCtrlC)},
      {"\x04", Name(KeyCode::kCtrlD)},      {"\x0C", Name(KeyCode::kCtrlL)},
      {"\x1B" "a", Name(KeyCode::kAlt, L'a')},
      {"\x1B\xC3\xA4", Name(KeyCode::kAlt, L'\xE4')},
      {"\x1B\xF0\x9F\x98\x80", Name(KeyCode::kAlt, L'\x1F600')},
  };
  for (const auto& c : cases) {
    // Between two letters, so that a sequence taking too much or too little shows.
    EXPECT_EQ(Decode(std::string("x") + c.bytes + "y"),
              (std::vector<std::string>{Name(KeyCode::kChar, L'x'), c.key, Name(KeyCode::kChar, L'y')}))
        << "bytes " << c.bytes + 1;
  }
}

TEST(PlayerKeyDecoderTest, CharactersWholeOrBad) {
  EXPECT_EQ(Decode("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::vector<std::string>{Name(KeyCode::kChar, L'a'), Name(KeyCode::kChar, L'\xE4'),
                                      Name(KeyCode::kChar, L'\x20AC'),
                                      Name(KeyCode::kChar, L'\x1F600')}));
  // A bad byte is one replacement; what follows it is a key of its own.
  const std::string bad = Name(KeyCode::kChar, L'\xFFFD');
  EXPECT_EQ(Decode("\xC3z\x80\xE0\x80\xAF!"),
            (std::vector<std::string>{bad, Name(KeyCode::kChar, L'z'), bad, bad, bad, bad,
                                      Name(KeyCode::kChar, L'!')}));
  EXPECT_EQ(Decode("\x1B\xC3z"),
            (std::vector<std::string>{Name(KeyCode::kAlt, L'\xFFFD'), Name(KeyCode::kChar, L'z')}));
}

TEST(PlayerKeyDecoderTest, EscapeAloneOnlyWhenNothingFollows) {
  KeyDecoder keys;
  keys.Feed("\x1B");
  EXPECT_FALSE(keys.Next());
  EXPECT_TRUE(keys.Pending());
  keys.Feed("[");
  EXPECT_FALSE(keys.Next());
  keys.Feed("A");
  EXPECT_EQ(Name(*keys.Next()), Name(KeyCode::kUp));
  EXPECT_FALSE(keys.Pending());

  keys.Feed("\x1B");
  EXPECT_EQ(Name(*keys.Flush()), Name(KeyCode::kEscape));
  EXPECT_FALSE(keys.Flush());

  // Escape pressed twice: the first is a key, the second waits.
  keys.Feed("\x1B\x1B");
  EXPECT_EQ(Drain(keys), std::vector<std::string>{Name(KeyCode::kEscape)});
  EXPECT_EQ(Name(*keys.Flush()), Name(KeyCode::kEscape));

  // A character cut short: one replacement for each of its bytes.
  keys.Feed("\xE2\x82");
  EXPECT_FALSE(keys.Next());
  EXPECT_EQ(Name(*keys.Flush()), Name(KeyCode::kChar, L'\xFFFD'));
  EXPECT_EQ(Name(*keys.Flush()), Name(KeyCode::kChar, L'\xFFFD'));
  EXPECT_FALSE(keys.Pending());
}
