// SPDX-License-Identifier: GPL-3.0-or-later
// The debug-output monitor: its text rules line by line, and narro monitor
// as a viewer in the shell.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/MonitorText.h"
#include "tests/support/TempDir.h"

namespace {

TEST(MonitorTextTest, TheStartLines) {
  EXPECT_EQ(CMonitorText::StartLines(),
            "----------------------\r\nDebug Monitor Started\r\n----------------------\r\n");
}

TEST(MonitorTextTest, LinesEndedByALineFeedEachGetTheirPrefix) {
  CMonitorText text;
  EXPECT_EQ(text.Format(77, "a\n"), "77:a\n\r\n");
  EXPECT_EQ(text.Format(77, "b\n"), "77:b\n\r\n");
}

TEST(MonitorTextTest, AMessageWithoutLineFeedLeavesTheNextWithoutPrefix) {
  CMonitorText text;
  EXPECT_EQ(text.Format(77, "a"), "77:a\r\n");
  EXPECT_EQ(text.Format(77, "b"), "b\r\n");
}

TEST(MonitorTextTest, AnotherWriterStartsOnANewLineAfterAnEmptyOne) {
  CMonitorText text;
  EXPECT_EQ(text.Format(77, "a"), "77:a\r\n");
  EXPECT_EQ(text.Format(88, "b\n"), "\r\n88:b\n\r\n");
}

TEST(MonitorTextTest, AnEmptyMessageLeavesTheLineOpen) {
  CMonitorText text;
  EXPECT_EQ(text.Format(5, ""), "5:\r\n");
  EXPECT_EQ(text.Format(5, "x"), "x\r\n");
}

// narro monitor on a channel of the test's own.
class NarroMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("NARRO_DEBUG_CHANNEL", ("monitor-" + std::to_string(getpid())).c_str(), 1);
  }
  void TearDown() override { unsetenv("NARRO_DEBUG_CHANNEL"); }
  // Starts narro monitor with its output in a file; its pid.
  pid_t StartMonitor(const std::string& out, const std::vector<std::string>& options = {}) {
    const pid_t child = fork();
    if (child == 0) {
      freopen(out.c_str(), "w", stdout);
      std::vector<char*> argv{const_cast<char*>(NARRO_TOOL), const_cast<char*>("monitor")};
      for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
      argv.push_back(nullptr);
      execv(NARRO_TOOL, argv.data());
      _exit(127);
    }
    return child;
  }
  // Writes until the monitor has shown the line (it may not listen yet).
  bool WriteUntilShown(const std::string& line, const std::string& out) {
    for (int i = 0; i < 400; ++i) {
      platform::OutputDebugString(line);
      if (ReadFile(out).find(line) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }
  // The exit status once the monitor ended on its own; -1 (and stopped)
  // when it was still running after ten seconds.
  int ExitStatusWithoutStopping(pid_t child) {
    for (int i = 0; i < 400; ++i) {
      int status = 0;
      if (waitpid(child, &status, WNOHANG) == child) {
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    Stop(child);
    return -1;
  }
  int Stop(pid_t child) {
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TempDir dir;
};

TEST_F(NarroMonitorTest, PrintsEachLineWithItsWriterAndStopsOnSigterm) {
  const std::string out = dir.File("out");
  const pid_t monitor = StartMonitor(out);
  ASSERT_TRUE(WriteUntilShown("ready\n", out));
  platform::OutputDebugString("first");
  platform::OutputDebugString("second\n");
  platform::OutputDebugString(std::string(5000, 'y'));
  ASSERT_TRUE(WriteUntilShown("last\n", out));
  EXPECT_EQ(Stop(monitor), 0);
  const std::string text = ReadFile(out);
  const std::string me = std::to_string(getpid()) + ":";
  EXPECT_EQ(text.rfind("----------------------\nDebug Monitor Started\n", 0), 0u);
  EXPECT_NE(text.find(me + "first\nsecond\n\n" + me), std::string::npos) << text;
  EXPECT_NE(text.find(std::string(4000, 'y')), std::string::npos);  // a long line in pieces
}

TEST_F(NarroMonitorTest, ASecondMonitorSaysDebuggerAlreadyRunning) {
  const std::string out = dir.File("out");
  const pid_t monitor = StartMonitor(out);
  ASSERT_TRUE(WriteUntilShown("ready\n", out));
  const pid_t second = StartMonitor(dir.File("second"));
  int status = 0;
  waitpid(second, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_NE(ReadFile(dir.File("second")).find("Debugger Already Running\n"), std::string::npos);
  EXPECT_EQ(Stop(monitor), 0);
}

TEST_F(NarroMonitorTest, FiltersByTextAndByWriter) {
  const std::string out = dir.File("out");
  const pid_t monitor = StartMonitor(out, {"--grep", "keep"});
  ASSERT_TRUE(WriteUntilShown("keep: ready\n", out));
  platform::OutputDebugString("drop this\n");
  ASSERT_TRUE(WriteUntilShown("keep: last\n", out));
  EXPECT_EQ(Stop(monitor), 0);
  EXPECT_EQ(ReadFile(out).find("drop this"), std::string::npos);

  const pid_t other = StartMonitor(dir.File("other"), {"--pid", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  platform::OutputDebugString("not from pid 1\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Stop(other), 0);
  EXPECT_EQ(ReadFile(dir.File("other")).find("not from pid 1"), std::string::npos);
}

// A monitor whose lines go nowhere must say so rather than run for ever:
// with standard output closed, the first file it opened would take its
// number and receive every line.
TEST_F(NarroMonitorTest, RefusesToStartWithStandardOutputClosed) {
  const std::string errors = dir.File("errors");
  const pid_t child = fork();
  if (child == 0) {
    freopen(errors.c_str(), "w", stderr);
    close(STDOUT_FILENO);
    execl(NARRO_TOOL, NARRO_TOOL, "monitor", static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_EQ(ExitStatusWithoutStopping(child), 1);
  EXPECT_NE(ReadFile(errors).find("narro monitor: standard output is closed"), std::string::npos)
      << ReadFile(errors);
}

TEST_F(NarroMonitorTest, FailsWhenItsLinesCannotBeWritten) {
  const std::string errors = dir.File("errors");
  const pid_t child = fork();
  if (child == 0) {
    freopen("/dev/full", "w", stdout);
    freopen(errors.c_str(), "w", stderr);
    execl(NARRO_TOOL, NARRO_TOOL, "monitor", static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_EQ(ExitStatusWithoutStopping(child), 1);
  EXPECT_NE(ReadFile(errors).find("narro monitor: cannot write the lines: No space left on device"),
            std::string::npos)
      << ReadFile(errors);
}

}  // namespace
