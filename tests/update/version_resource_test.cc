// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/version/VersionBlock.h"
#include "platform/version/VersionResource.h"
#include "tests/support/TempDir.h"
#include "update/FileVersionInfo.h"
#include "update/VersionStrings.h"

namespace {

std::vector<std::string> AllValues(const CFileVersionInfo& info) {
  return {info.GetFileVersion(), info.GetProductName(), info.GetCompanyName(),
          info.GetLegalCopyright(), info.GetComments()};
}

const std::vector<std::string> kNothing = {"none", "none", "none", "none", "none"};

std::vector<unsigned char> Block(const std::string& texts) {
  return std::vector<unsigned char>(texts.begin(), texts.end());
}

TEST(FileVersionInfoTest, ReadsEveryStringUnderTheFirstTranslation) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.Open(FULL_VERSION_PROGRAM));
  EXPECT_EQ(AllValues(info),
            (std::vector<std::string>{"2.10.0.3", "Geschichten Spieler",
                                      "Beispiel GmbH", "(c) 2026, all rights", ""}));
  EXPECT_EQ(info.QueryValue("InternalName"), "none");
  EXPECT_EQ(info.QueryValue(nullptr), "");
}

TEST(FileVersionInfoTest, StringsLeftOutAreNone) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.Open(PARTIAL_VERSION_PROGRAM));
  EXPECT_EQ(AllValues(info), (std::vector<std::string>{"1.0.0.1", "Story Player",
                                                       "none", "none", "none"}));
}

TEST(FileVersionInfoTest, FilesWithoutAUsableResourceFailAndGiveNone) {
  const TempDir dir;
  WriteFile(dir.File("notes.txt"), "FileVersion 1.0.0.1\n");
  const std::vector<std::string> paths = {
      NO_VERSION_PROGRAM, UNTRANSLATED_VERSION_PROGRAM, FOREIGN_SECTION_PROGRAM,
      dir.File("notes.txt"), dir.File("missing"), dir.path()};
  for (const std::string& path : paths) {
    CFileVersionInfo info;
    EXPECT_FALSE(info.Open(path.c_str())) << path;
    EXPECT_EQ(AllValues(info), kNothing) << path;
    EXPECT_EQ(info.QueryValue(nullptr), "") << path;
  }
  CFileVersionInfo info;
  EXPECT_FALSE(info.Open(nullptr));
}

TEST(VersionResourceTest, StringTablesAreFoundByTheirTranslationInEitherCase) {
  const uint32_t size = platform::GetFileVersionInfoSize(FULL_VERSION_PROGRAM);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block;
  ASSERT_TRUE(platform::GetFileVersionInfo(FULL_VERSION_PROGRAM, size, &block));
  std::vector<platform::LANGANDCODEPAGE> translations;
  ASSERT_TRUE(platform::VerQueryTranslation(block, &translations));
  ASSERT_EQ(translations.size(), 1u);
  EXPECT_EQ(translations[0].wLanguage, 0x0407);
  EXPECT_EQ(translations[0].wCodePage, 0x04E4);

  std::string value;
  EXPECT_TRUE(platform::VerQueryValue(block, "\\StringFileInfo\\040704E4\\ProductName", &value));
  EXPECT_EQ(value, "Geschichten Spieler");
  EXPECT_FALSE(platform::VerQueryValue(block, "\\StringFileInfo\\040904b0\\ProductName", &value));
  EXPECT_FALSE(platform::VerQueryValue(block, "\\StringFileInfo\\040704e4ProductName", &value));
  EXPECT_FALSE(platform::VerQueryValue(block, "\\StringFileInfo\\0407x4e4\\ProductName", &value));
  EXPECT_FALSE(platform::VerQueryValue(block, "ProductName", &value));
}

TEST(VersionBlockTest, BrokenOrTruncatedTextsAreIgnored) {
  const std::string signature = std::string(platform::kVersionSignature) + '\0';
  using namespace std::string_literals;

  // A name whose value runs off the end, then nothing.
  platform::VersionTable table =
      platform::ParseVersionBlock(Block(signature + "FileVersion\0"s "1.0"));
  EXPECT_TRUE(table.strings.empty());

  // The list ends at an empty name.
  table = platform::ParseVersionBlock(
      Block(signature + "ProductName\0"s "A\0"s "\0"s "Comments\0"s "B\0"s));
  EXPECT_EQ(table.strings, (std::map<std::string, std::string>{{"ProductName", "A"}}));

  for (const std::string bad : {"0x10000,1", "-1,2", "1", "0x0409,0x04B0x", ",1",
                                "0x0409, 0x04B0", "1,2,3"}) {
    table = platform::ParseVersionBlock(Block(signature + "Translation\0"s + bad + '\0'));
    EXPECT_FALSE(table.translation.has_value()) << bad;
  }
  table = platform::ParseVersionBlock(Block(signature + "Translation\0"s "1031,0x4E4\0"s));
  ASSERT_TRUE(table.translation.has_value());
  EXPECT_EQ(table.translation->wLanguage, 1031);
  EXPECT_EQ(table.translation->wCodePage, 0x4E4);

  EXPECT_FALSE(platform::ParseVersionBlock(Block("NarroVersionInfo/2\0Translation\0"s
                                                 "1,2\0"s)).translation);
}

TEST(VersionStringsTest, TheRunningProgramsOwnStringsInTheirOrder) {
  EXPECT_EQ(GetVersionStrings(), (std::vector<std::string>{"1.0.0.1", "Story Player",
                                                           "Narro tests", "free",
                                                           "none"}));
  EXPECT_EQ(GetVersionStrings(NO_VERSION_PROGRAM), kNothing);
}

}  // namespace
