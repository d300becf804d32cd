#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "core/Log.h"
#include "platform/debugout/DebugOutput.h"

namespace {

using platform::DebugMessage;
using platform::DebugOutputListener;

// Lines of other test processes of this user may arrive too: keep ours.
std::vector<std::string> ReceiveOwn(DebugOutputListener& listener, size_t count) {
  std::vector<std::string> texts;
  DebugMessage message;
  while (texts.size() < count && listener.Receive(&message, 2000)) {
    if (message.pid == static_cast<uint32_t>(getpid())) texts.push_back(message.text);
  }
  return texts;
}

std::unique_ptr<DebugOutputListener> StartListener() {
  std::string error;
  auto listener = DebugOutputListener::Start(&error);
  EXPECT_TRUE(listener) << error;
  return listener;
}

TEST(DebugOutputTest, ListenerReceivesEachLineWithTheWritersPid) {
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  std::thread writer([] {
    platform::OutputDebugString("first");
    LogLine("%1% line", "second");
    platform::OutputDebugString("");
  });
  EXPECT_EQ(ReceiveOwn(*listener, 3),
            (std::vector<std::string>{"first", "second line", ""}));
  writer.join();
}

TEST(DebugOutputTest, LongTextIsCutToTheBuffer) {
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  std::thread writer([] { platform::OutputDebugString(std::string(10000, 'y')); });
  const std::vector<std::string> texts = ReceiveOwn(*listener, 1);
  writer.join();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], std::string(platform::kDebugTextCapacity - 1, 'y'));
}

TEST(DebugOutputTest, SecondListenerIsRefusedWhileTheFirstLives) {
  auto first = StartListener();
  ASSERT_TRUE(first);
  std::string error;
  // flock locks belong to the open file, so a second open in this process
  // is refused just as another process would be.
  EXPECT_FALSE(DebugOutputListener::Start(&error));
  EXPECT_EQ(error, "already exists");
  first.reset();
  EXPECT_TRUE(StartListener());
}

TEST(DebugOutputTest, WritersDropLinesWhileNobodyListensAndSeeANewListenerAtOnce) {
  { auto listener = StartListener(); }
  for (int i = 0; i < 1000; ++i) platform::OutputDebugString("nobody hears this");
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  std::thread writer([] { platform::OutputDebugString("heard"); });
  EXPECT_EQ(ReceiveOwn(*listener, 1), std::vector<std::string>{"heard"});
  writer.join();
}

TEST(DebugOutputTest, ObjectsOfACrashedListenerAreReplaced) {
  const pid_t child = fork();
  if (child == 0) {
    std::string error;
    auto listener = DebugOutputListener::Start(&error);
    _exit(listener ? 0 : 1);  // dies without removing its objects
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  // The dead listener's objects are still there; writers see nobody holds
  // the listener lock and drop their lines.
  platform::OutputDebugString("dropped");
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  std::thread writer([] { platform::OutputDebugString("after restart"); });
  EXPECT_EQ(ReceiveOwn(*listener, 1), std::vector<std::string>{"after restart"});
  writer.join();
}

}  // namespace
