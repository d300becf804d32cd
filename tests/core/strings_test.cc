// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "narro/Narro.h"

namespace {

TEST(StringsTest, EmptyTextConvertsToEmptyTextBothWays) {
  EXPECT_EQ(CNarro::ASCII_To_UC8(""), L"");
  EXPECT_EQ(CNarro::UC8_To_ASCII(L""), "");
  EXPECT_STREQ(static_cast<const char*>(CTTSString(CTTSWString())), "");
  EXPECT_STREQ(static_cast<const wchar_t*>(CTTSWString(CTTSString())), L"");
}

TEST(StringsTest, EachByteWidensToTheCharacterOfItsCodeAndBack) {
  const std::string bytes = "\x41\xE9";
  const std::wstring wide = CNarro::ASCII_To_UC8(bytes);
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(wide[0], 0x0041);
  EXPECT_EQ(wide[1], 0x00E9);
  EXPECT_EQ(CNarro::UC8_To_ASCII(wide), bytes);
}

TEST(StringsTest, CharacterAbove255NarrowsToAZeroByteThatStays) {
  const std::string narrow = CNarro::UC8_To_ASCII(std::wstring(1, 0x20AC));
  ASSERT_EQ(narrow.size(), 1u);
  EXPECT_EQ(narrow[0], '\0');
  const CTTSString value(CTTSWString(std::wstring(1, 0x20AC)));
  EXPECT_STREQ(static_cast<const char*>(value), "");
}

TEST(StringsTest, EmbeddedZerosAreConvertedWithTheRest) {
  const std::string bytes("a\0b", 3);
  const std::wstring wide = CNarro::ASCII_To_UC8(bytes);
  EXPECT_EQ(wide, std::wstring(L"a\0b", 3));
  EXPECT_EQ(CNarro::UC8_To_ASCII(wide), bytes);
  // The string values keep them too.
  const CTTSString narrowValue(bytes);
  EXPECT_EQ(static_cast<const std::wstring>(narrowValue), wide);
  EXPECT_EQ(static_cast<const std::string>(CTTSWString(wide)), bytes);
}

TEST(StringsTest, ValuesRoundTripAndCopyTheirText) {
  const CTTSString original(std::string("caf\xE9 \xFF"));
  const CTTSWString wide(original);
  EXPECT_EQ(static_cast<const std::string>(wide), "caf\xE9 \xFF");

  CTTSString copy(original);
  CTTSString assigned;
  assigned = copy;
  copy = CTTSString("changed");
  EXPECT_STREQ(static_cast<const char*>(assigned), "caf\xE9 \xFF");
  EXPECT_STREQ(static_cast<const char*>(CTTSString(static_cast<const char*>(nullptr))), "");
  EXPECT_STREQ(static_cast<const wchar_t*>(CTTSWString(static_cast<const wchar_t*>(nullptr))), L"");
}

}  // namespace
