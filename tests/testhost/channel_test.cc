// SPDX-License-Identifier: GPL-3.0-or-later
// The debug-output channel as the test host's monitor meets it: many
// writers at once, and another user who tries to read or inject.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <vector>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/DebugOutputNames.h"

namespace {

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("NARRO_DEBUG_CHANNEL", ("channel-" + std::to_string(getpid())).c_str(), 1);
  }
  void TearDown() override { unsetenv("NARRO_DEBUG_CHANNEL"); }
};

// Lines of the form "writer N line M".
constexpr int kWriters = 4;
constexpr int kLinesEach = 25000;

TEST_F(ChannelTest, FourWritersAtOnceLoseNoLineAndCutNone) {
  std::string error;
  auto listener = platform::DebugOutputListener::Start(&error);
  ASSERT_TRUE(listener) << error;
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = fork();
    if (child == 0) {
      int failed = 0;
      for (int m = 0; m < kLinesEach; ++m) {
        const std::string line = "writer " + std::to_string(w) + " line " + std::to_string(m);
        if (platform::WriteDebugOutput(line) != platform::DebugWriteResult::kSent) ++failed;
      }
      _exit(failed == 0 ? 0 : 1);
    }
    writers.push_back(child);
  }
  std::map<uint32_t, int> next;  // per writer: the line expected next
  int received = 0, outOfOrder = 0, cut = 0;
  platform::DebugMessage message;
  while (received < kWriters * kLinesEach && listener->Receive(&message, 10000)) {
    int w = -1, m = -1;
    if (std::sscanf(message.text.c_str(), "writer %d line %d", &w, &m) != 2 ||
        message.text != "writer " + std::to_string(w) + " line " + std::to_string(m)) {
      ++cut;
      continue;
    }
    int& expected = next[message.pid];
    if (m != expected) ++outOfOrder;
    expected = m + 1;
    ++received;
  }
  int writersFailed = 0;
  for (const pid_t child : writers) {
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++writersFailed;
  }
  EXPECT_EQ(received, kWriters * kLinesEach);
  EXPECT_EQ(outOfOrder, 0);
  EXPECT_EQ(cut, 0);
  EXPECT_EQ(writersFailed, 0);
}

TEST_F(ChannelTest, AnotherUserCanNeitherReadNorInject) {
  std::string error;
  auto listener = platform::DebugOutputListener::Start(&error);
  ASSERT_TRUE(listener) << error;
  const platform::DebugOutputNames names = platform::DebugOutputNames::ForThisUser();
  const pid_t child = fork();
  if (child == 0) {
    // Nobody: the tests run as root, which may become any user.
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    for (const std::string& name : {names.buffer, names.control, names.listenerLock}) {
      const int fd = shm_open(name.c_str(), O_RDWR, 0);
      if (fd >= 0) _exit(3);  // opened another user's object
    }
    platform::OutputDebugString("intruder\n");
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  platform::DebugMessage message;
  bool injected = false;
  while (listener->Receive(&message, 300)) injected = injected || message.text == "intruder\n";
  EXPECT_FALSE(injected);
}

}  // namespace
