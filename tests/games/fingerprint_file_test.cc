// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "games/GameLibrary.h"
#include "tests/games/GameTestData.h"
#include "tests/support/LibraryFixture.h"

namespace {

class FingerprintFileTest : public LibraryTest {
 protected:
  std::string Names() const {
    std::string names;
    for (const GamePtr& game : library.catalogue) names += game->FullName + ";";
    return names;
  }
  CGameLibrary library;
};

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\" ?>\n";

TEST_F(FingerprintFileTest, ReadsEverySupportedGameElementInDocumentOrder) {
  const std::string path = DataFile("db.xml");
  WriteFile(path,
            "<?xml version=\"1.0\"?>\n<other><supported_game fingerprint=\"00000009\" "
            "FullName=\"Elsewhere\" sn=\"9\"/></other>\n"
            "<games>\n"
            "  <supported_game fingerprint=\"0000000B\" FullName=\"Two  Spaces\" sn=\"1\"\n"
            "                  fn=\"b.z5\" warn=\"Be careful\"/>\n"
            "  <!--supported_game-->\n"
            "  <supported_game fingerprint=\"0000000A\" FullName=\"Amp &amp; &lt;tag&gt;\" "
            "sn=\"2\"><nested/></supported_game>\n"
            "  <unrelated fingerprint=\"0000000C\" FullName=\"Not a game\" sn=\"3\"/>\n"
            "  <supported_game FullName=\"No fingerprint\"/>\n"
            "</games>\n");
  EXPECT_TRUE(library.readFingerprintFile(path));
  EXPECT_EQ(Names(), "No fingerprint;Amp & <tag>;Two  Spaces;");
  const GamePtr b = findGame(library.catalogue, "0000000B");
  EXPECT_EQ(b->fn, "b.z5");
  EXPECT_EQ(b->sn, "1");
  EXPECT_EQ(b->warn, "Be careful");
  EXPECT_FALSE(b->found);
  const GamePtr a = findGame(library.catalogue, "0000000A");
  EXPECT_EQ(a->fn, "unknown");
  EXPECT_EQ(a->warn, "");
  const GamePtr bare = findGame(library.catalogue, "");
  EXPECT_EQ(bare->sn, "");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"XML loaded: Two  Spaces",
                                                  "XML loaded: Amp & <tag>",
                                                  "XML loaded: No fingerprint"}));
  EXPECT_EQ(library.lastError.str(), "");
}

TEST_F(FingerprintFileTest, BrokenOrMissingFilesReportTinyXmlsErrorAndPlace) {
  const std::string broken = DataFile("broken.xml");
  WriteFile(broken, "<games>\n  <supported_game fingerprint=\"A\"\n</games>\n");
  EXPECT_FALSE(library.readFingerprintFile(broken));
  EXPECT_EQ(library.lastError.str(),
            "Problem with XML format, check syntax of file: " + broken +
                "\nError reading Attributes.\nLine: 3 Col: 1\n");
  // Each failure replaces the whole text.
  EXPECT_FALSE(library.readFingerprintFile(DataFile("absent.xml")));
  EXPECT_EQ(library.lastError.str(),
            "Problem with XML format, check syntax of file: " + DataFile("absent.xml") +
                "\nFailed to open file\nLine: 0 Col: 0\n");
  WriteFile(broken, "");
  EXPECT_FALSE(library.readFingerprintFile(broken));
  EXPECT_EQ(library.lastError.str(),
            "Problem with XML format, check syntax of file: " + broken +
                "\nError document empty.\nLine: 0 Col: 0\n");
  EXPECT_TRUE(library.catalogue.empty());
}

TEST_F(FingerprintFileTest, WithoutAGamesElementNothingIsReadOrReported) {
  const std::string path = DataFile("db.xml");
  WriteFile(path, "<game><supported_game fingerprint=\"0000000A\" FullName=\"A\" sn=\"1\"/></game>");
  EXPECT_FALSE(library.readFingerprintFile(path));
  EXPECT_EQ(library.lastError.str(), "");
  WriteFile(path, "<games></games>");
  EXPECT_TRUE(library.readFingerprintFile(path));
  EXPECT_TRUE(library.catalogue.empty());
}

TEST_F(FingerprintFileTest, ShippedRecordsWinOverTheUsersAtEveryLoad) {
  WriteFile(DataFile("fingerprints.xml"),
            "<games><supported_game fingerprint=\"0000000A\" FullName=\"Shipped\" sn=\"1\"/>"
            "</games>");
  WriteFile(DataFile("User_Fingerprints.xml"),
            "<games><supported_game fingerprint=\"0000000A\" FullName=\"Mine\" sn=\"1\"/>"
            "<supported_game fingerprint=\"0000000B\" FullName=\"Only mine\" sn=\"2\"/>"
            "</games>");
  library.loadFingerprints(nullptr, 0);
  EXPECT_EQ(Names(), "Shipped;Only mine;");
  EXPECT_TRUE(LogHas("Could not add game to list: Mine"));

  CGameLibrary userOnly;
  userOnly.loadFingerprints(DataFile("fingerprints.xml").c_str(), 1);
  EXPECT_EQ(userOnly.catalogue.size(), 2u);
  EXPECT_EQ(findGame(userOnly.catalogue, "0000000A")->FullName, "Mine");

  CGameLibrary otherShipped;
  const std::string other = DataFile("other.xml");
  WriteFile(other, "<games><supported_game fingerprint=\"0000000C\" FullName=\"C\" sn=\"3\"/></games>");
  otherShipped.loadFingerprints(other.c_str(), 0);
  EXPECT_EQ(otherShipped.catalogue.size(), 3u);
}

TEST_F(FingerprintFileTest, WritesEveryRecordInNameOrderWithAllAttributes) {
  auto add = [&](const char* fingerprint, const char* name, const char* fn) {
    const GamePtr game = MakeGame(name, fingerprint, "S");
    game->fn = fn;
    library.catalogue.insert(game);
  };
  add("0000000C", "Adventure", "c.z5");
  add("0000000A", "Zork", "");
  add("0000000B", "Adventure", "b.z5");
  const std::string path = DataFile("out.xml");
  EXPECT_TRUE(library.writeFingerprintFile(path.c_str()));
  EXPECT_EQ(ReadFile(path),
            std::string(kDeclaration) +
                "<games>\n"
                "    <supported_game fingerprint=\"0000000C\" FullName=\"Adventure\" sn=\"S\" fn=\"c.z5\" warn=\"\" />\n"
                "    <supported_game fingerprint=\"0000000B\" FullName=\"Adventure\" sn=\"S\" fn=\"b.z5\" warn=\"\" />\n"
                "    <supported_game fingerprint=\"0000000A\" FullName=\"Zork\" sn=\"S\" fn=\"\" warn=\"\" />\n"
                "</games>\n");
  EXPECT_FALSE(library.writeFingerprintFile(nullptr));
}

TEST_F(FingerprintFileTest, MarkupCharactersAndEightBitNamesComeBackByteForByte) {
  const std::string name = "Caf\xE9 & \"Bar\" <'1'>";
  const GamePtr game = MakeGame(name, "0000000A", "1");
  game->warn = "line one\nline two";
  library.catalogue.insert(game);
  const std::string path = DataFile("out.xml");
  ASSERT_TRUE(library.writeFingerprintFile(path.c_str()));
  CGameLibrary reread;
  ASSERT_TRUE(reread.readFingerprintFile(path));
  EXPECT_EQ(findGame(reread.catalogue, "0000000A")->FullName, name);
  EXPECT_EQ(findGame(reread.catalogue, "0000000A")->warn, "line one\nline two");
}

TEST_F(FingerprintFileTest, AFiftyMegabyteFileIsReadWhole) {
  std::string contents = "<games>\n";
  contents += "<supported_game fingerprint=\"0000000A\" FullName=\"First\" sn=\"1\"/>\n";
  contents += "<!-- " + std::string(50 << 20, 'x') + " -->\n";
  contents += "<supported_game fingerprint=\"0000000B\" FullName=\"Last\" sn=\"1\" warn=\"" +
              std::string(1 << 20, 'w') + "\"/>\n</games>\n";
  WriteFile(DataFile("big.xml"), contents);
  EXPECT_TRUE(library.readFingerprintFile(DataFile("big.xml")));
  EXPECT_EQ(Names(), "First;Last;");
  EXPECT_EQ(findGame(library.catalogue, "0000000B")->warn.size(), size_t{1} << 20);
}

}  // namespace
