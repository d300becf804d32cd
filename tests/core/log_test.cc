// SPDX-License-Identifier: GPL-3.0-or-later
#include <errno.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/ExceptionGuard.h"
#include "core/Log.h"
#include "core/MyException.h"
#include "tests/support/LibraryFixture.h"

namespace {

class LogTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    ClearLog();
  }
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST_F(LogTest, ToLogWritesTheTextUnchanged) {
  Facade().ToLog("");
  Facade().ToLog("100% sure, %s and %1%");
  Facade().ToLog(nullptr);
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{"", "100% sure, %s and %1%", ""}));
}

TEST_F(LogTest, DebugStrWritesThePrefixedLineThenTheTextAlone) {
  Facade().DebugStr("count %d", 5);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Narro::count 5", "count 5"}));
}

TEST_F(LogTest, DebugStrCutsItsTextAt1023Characters) {
  const std::string longText(5000, 'x');
  Facade().DebugStr("%s", longText.c_str());
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Narro::" + std::string(1023, 'x'));
  EXPECT_EQ(lines[1], std::string(1023, 'x'));
}

TEST_F(LogTest, FormatsArePositionalOrPrintfAndErrorsLoseOnlyTheLine) {
  LogLine("%2% before %1%", "one", 2);
  LogLine("total bytes: %ul", 1024u);
  LogLine("Cache hit [%s]: live[%ul] -- cache[%ul]", "a.z5", 7u, 8u);
  LogLine("%1% and %2%", "too few");
  LogLine("%1%", "too", "many");
  LogLine("%", 1);
  LogLine("last");
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{"2 before one", "total bytes: 1024l",
                                      "Cache hit [a.z5]: live[7l] -- cache[8l]",
                                      "last"}));
}

TEST(ExceptionReportTest, HasItsHeaderAndDetailsToTheCharacter) {
  const CMyException e(0, "unknown exception", "CNarro::MonitorInput", "Narro", 12);
  const std::vector<std::string> lines = SplitLines(e.what());
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "****ERROR: An exception has been thrown!");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], std::string(80, '/'));
  EXPECT_EQ(lines[3], "//" + std::string(35, ' ') + "DETAILS" +
                          std::string(34, ' ') + "//");
  EXPECT_EQ(lines[3].size(), 80u);
  EXPECT_EQ(lines[4], std::string(80, '/'));
  EXPECT_EQ(lines[5], "ERROR #: 0");
  EXPECT_EQ(lines[6], "Function: CNarro::MonitorInput");
  EXPECT_EQ(lines[7], "Description: unknown exception. ");
  EXPECT_EQ(lines[8], "File: Narro");
  EXPECT_EQ(lines[9], "Line: 12");
}

TEST(ExceptionReportTest, WithoutALineItEndsAfterTheDescription) {
  const CMyException e(3, "bad", "f", "Narro", 0);
  const std::string report = e.what();
  const std::string tail = "ERROR #: 3\nFunction: f\nDescription: bad. ";
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  EXPECT_EQ(report.find("\nFile: "), std::string::npos);
  EXPECT_EQ(report.find("\nLine: "), std::string::npos);
}

TEST_F(LogTest, GuardLogsOurExceptionsReportAndKeepsGoing) {
  const CMyException thrown(0, "Exception trying to speak.",
                            "CSpeechTTS::SpeakToMe", "SpeechTTS", 220);
  bool after = false;
  RunGuarded("CNarro::Speak", 40, [&] { throw thrown; });
  after = true;
  EXPECT_TRUE(after);
  EXPECT_EQ(ReadFile(DataFile("narro.log")), std::string(thrown.what()) + "\n");
}

TEST_F(LogTest, GuardTurnsAnythingElseIntoAnUnknownExceptionWithTheSystemError) {
  RunGuarded("CNarro::getList", 297, [] {
    errno = ENOENT;
    throw std::runtime_error("boom");
  });
  const CMyException expected(0, "unknown exception", "CNarro::getList", "Narro", 297);
  EXPECT_EQ(ReadFile(DataFile("narro.log")),
            std::string(expected.what()) + ": " + strerror(ENOENT) + ": " +
                std::to_string(ENOENT) + "\n");
}

TEST_F(LogTest, SystemErrorTextNamesTheLastError) {
  errno = EACCES;
  EXPECT_EQ(SystemErrorText(), std::string(strerror(EACCES)) + ": 13");
  errno = 0;
  EXPECT_EQ(SystemErrorText(), std::string(strerror(0)) + ": 0");
}

TEST(LogMirrorTest, StderrTargetWritesEachLineWithALineFeed) {
  setenv("NARRO_LOG", "stderr", 1);
  testing::internal::CaptureStderr();
  LogLine("%1%", "to standard error");
  LogLine("%1%", "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to standard error\n\n");
  unsetenv("NARRO_LOG");
  testing::internal::CaptureStderr();
  LogLine("%1%", "nowhere");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
