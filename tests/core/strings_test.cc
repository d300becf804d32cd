// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"

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

// The locale is the process's: each test that sets one puts it back.
class ScopedCtype {
 public:
  explicit ScopedCtype(const char* name) : m_before(std::setlocale(LC_CTYPE, nullptr)) {
    m_set = std::setlocale(LC_CTYPE, name) != nullptr;
  }
  ~ScopedCtype() { std::setlocale(LC_CTYPE, m_before.c_str()); }
  bool set() const { return m_set; }

 private:
  std::string m_before;
  bool m_set = false;
};

TEST(TextEncodingTest, ThePublicConversionsAreTheOneBytePerCharacterRule) {
  const std::string bytes("caf\xC3\xA9\0\xFF", 7);
  EXPECT_EQ(platform::WideFromBytes(bytes), CNarro::ASCII_To_UC8(bytes));
  EXPECT_EQ(platform::BytesFromWide(platform::WideFromBytes(bytes)), bytes);
  const std::wstring wide(L"\u00e9\u20ac\0x", 4);
  EXPECT_EQ(platform::BytesFromWide(wide), CNarro::UC8_To_ASCII(wide));
  EXPECT_EQ(platform::BytesFromWide(wide), std::string("\xE9\0\0x", 4));
}

TEST(TextEncodingTest, TheLocaleDecodesUtf8WhenItIsUtf8) {
  ScopedCtype utf8("C.UTF-8");
  ASSERT_TRUE(utf8.set());
  EXPECT_EQ(platform::WideFromLocale("Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5"), L"Gr\u00fc\u00dfe \u65e5");
  EXPECT_EQ(platform::WideFromLocale("e\xCC\x81"), L"e\u0301");
  // A byte that does not decode keeps its code; an embedded zero stays.
  EXPECT_EQ(platform::WideFromLocale(std::string("\xE9t\xE9\0a", 5)), std::wstring(L"\u00e9t\u00e9\0a", 5));
  EXPECT_EQ(platform::WideFromLocale("\xE6\x97"), L"\u00e6\u0097");  // cut short
  EXPECT_EQ(platform::LocaleFromWide(L"\u0395\u03bb \U0001F600"), "\xCE\x95\xCE\xBB \xF0\x9F\x98\x80");
}

TEST(TextEncodingTest, TheCLocaleKeepsEachByteAndCannotHoldWhatIsBeyondAscii) {
  ScopedCtype plain("C");
  ASSERT_TRUE(plain.set());
  EXPECT_EQ(platform::WideFromLocale("caf\xC3\xA9"), L"caf\u00c3\u00a9");
  EXPECT_EQ(platform::LocaleFromWide(L"caf\u00e9 \u65e5"), "caf? ?");
}

TEST(TextEncodingTest, Utf8IsDecodedWhateverTheLocaleAndEachBadByteIsMarked) {
  ScopedCtype plain("C");
  EXPECT_EQ(platform::WideFromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"), L"caf\u00e9 \U0001F600");
  EXPECT_TRUE(platform::IsUtf8("caf\xC3\xA9"));
  // A stray continuation, an overlong '/', a surrogate, a sequence cut short.
  for (const std::string bad : {"\x80", "\xC0\xAF", "\xED\xA0\x80", "\xE6\x97"}) {
    EXPECT_FALSE(platform::IsUtf8(bad)) << bad;
    EXPECT_EQ(platform::WideFromUtf8(bad), std::wstring(bad.size(), L'\uFFFD')) << bad;
  }
  EXPECT_EQ(platform::Utf8FromWide(L"\u00e9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(platform::Utf8FromWide(static_cast<wchar_t>(0xD800)), "\xEF\xBF\xBD");
  EXPECT_EQ(platform::Utf8FromWide(static_cast<wchar_t>(0x110000)), "\xEF\xBF\xBD");
  EXPECT_EQ(platform::Utf8FromWide(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
