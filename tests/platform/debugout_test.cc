// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/Log.h"
#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/DebugOutputNames.h"
#include "platform/debugout/ListenerPresence.h"
#include "platform/debugout/SharedObjects.h"

namespace {

using platform::DebugMessage;
using platform::DebugOutputListener;
using platform::DebugOutputNames;
using platform::DebugWriteResult;

// Each test process has a channel of its own, so that the lines of other
// programs running at the same time (other tests, a developer's host) never
// reach these listeners, and its objects are removed at the end.
class PrivateChannel : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("NARRO_DEBUG_CHANNEL", ("test-" + std::to_string(getpid())).c_str(), 1);
  }
  void TearDown() override {
    const DebugOutputNames names = DebugOutputNames::ForThisUser();
    for (const std::string& name : {names.buffer, names.control, names.listenerLock}) {
      shm_unlink(name.c_str());
    }
  }
};
::testing::Environment* const g_privateChannel =
    ::testing::AddGlobalTestEnvironment(new PrivateChannel);

// Not this user: the tests run as root, which may hand a file to anyone.
constexpr uid_t kOtherUid = 65534;

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

TEST(DebugOutputTest, LongLineArrivesWholeAndInOrderInPieces) {
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  std::string line(10000, ' ');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i * 7 % 26);
  std::thread writer([&line] { platform::OutputDebugString(line); });
  std::vector<std::string> pieces;
  size_t received = 0;
  DebugMessage message;
  while (received < line.size() && listener->Receive(&message, 2000)) {
    if (message.pid != static_cast<uint32_t>(getpid())) continue;
    received += message.text.size();
    pieces.push_back(message.text);
  }
  writer.join();
  ASSERT_EQ(pieces.size(), 3u);
  std::string whole;
  for (const std::string& piece : pieces) {
    EXPECT_LE(piece.size(), platform::kDebugTextCapacity - 1);
    whole += piece;
  }
  EXPECT_EQ(whole, line);
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

// What another user could leave under one of our names: an object they
// made first, open to all, or cut to another size.
struct Planted {
  mode_t mode;
  uid_t owner;
  off_t size;
};

void Plant(const std::string& name, const Planted& planted) {
  shm_unlink(name.c_str());
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0) << name;
  EXPECT_EQ(ftruncate(fd, planted.size), 0);
  EXPECT_EQ(fchown(fd, planted.owner, static_cast<gid_t>(-1)), 0);
  EXPECT_EQ(fchmod(fd, planted.mode), 0);
  close(fd);
}

// The planted object's bytes: nobody may have written to it.
std::string Contents(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return "(gone)";
  std::string bytes(16384, '\0');
  const ssize_t got = read(fd, &bytes[0], bytes.size());
  close(fd);
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return bytes;
}

bool Exists(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

TEST(DebugOutputTest, ListenerRefusesObjectsNotMadeForThisUserAndNamesThem) {
  const DebugOutputNames names = DebugOutputNames::ForThisUser();
  const std::string uid = std::to_string(kOtherUid);
  const struct {
    std::string name;
    Planted planted;
    std::string why;
  } cases[] = {
      {names.buffer, {0666, geteuid(), 4096}, "mode 0666"},
      {names.buffer, {0600, kOtherUid, 4096}, "uid " + uid},
      {names.control, {0666, geteuid(), sizeof(platform::DebugControl)}, "mode 0666"},
      {names.control, {0644, kOtherUid, 8}, "uid " + uid},
  };
  for (const auto& c : cases) {
    Plant(c.name, c.planted);
    std::string error;
    EXPECT_FALSE(DebugOutputListener::Start(&error)) << c.name;
    EXPECT_NE(error.find(c.name), std::string::npos) << error;
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
    EXPECT_TRUE(Exists(c.name)) << "left for the user to look at";
    shm_unlink(c.name.c_str());
  }
  EXPECT_TRUE(StartListener());
}

// A FIFO blocks an open for reading until somebody writes: another user
// who puts one under our names must not hold up the listener (narro monitor,
// NarroTest) before it can refuse the object.
TEST(DebugOutputTest, ListenerRefusesAnotherUsersFifoAtOnce) {
  const DebugOutputNames names = DebugOutputNames::ForThisUser();
  // The lock file is opened read-write, which a FIFO does not block; and
  // writers of this process keep the lock file they mapped, so it stays.
  for (const std::string& name : {names.buffer, names.control}) {
    const std::string path = "/dev/shm" + name;
    shm_unlink(name.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0666), 0) << path;
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(chown(path.c_str(), kOtherUid, static_cast<gid_t>(-1)), 0);
    auto started = std::async(std::launch::async, [] {
      std::string error;
      const bool ok = DebugOutputListener::Start(&error) != nullptr;
      return std::make_pair(ok, error);
    });
    if (started.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "the listener is held up by the FIFO " << path;
      // A writer lets the blocked open go, so that the test program ends.
      const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) close(writer);
    }
    const auto [ok, error] = started.get();
    EXPECT_FALSE(ok) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
    EXPECT_NE(error.find("uid " + std::to_string(kOtherUid)), std::string::npos) << error;
    struct stat st;
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << "left for the user to look at";
    unlink(path.c_str());
  }
  EXPECT_TRUE(StartListener());
}

TEST(DebugOutputTest, ListenerRefusesALockFileOthersCouldOpen) {
  const std::string name = DebugOutputNames::ForThisUser().listenerLock;
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  // Changed in place rather than made anew, as writers of this process keep
  // the file they found mapped.
  for (const Planted& planted : {Planted{0666, geteuid(), 0}, Planted{0600, kOtherUid, 0}}) {
    ASSERT_EQ(fchmod(fd, planted.mode), 0);
    ASSERT_EQ(fchown(fd, planted.owner, static_cast<gid_t>(-1)), 0);
    std::string error;
    EXPECT_FALSE(DebugOutputListener::Start(&error));
    EXPECT_NE(error.find(name), std::string::npos) << error;
  }
  ASSERT_EQ(fchown(fd, geteuid(), static_cast<gid_t>(-1)), 0);
  ASSERT_EQ(fchmod(fd, 0600), 0);
  close(fd);
  EXPECT_TRUE(StartListener());
}

TEST(DebugOutputTest, WriterRefusesABufferOthersCouldReadOrShrink) {
  const std::string name = DebugOutputNames::ForThisUser().buffer;
  for (const Planted& planted : {Planted{0666, geteuid(), 4096}, Planted{0600, kOtherUid, 4096},
                                 Planted{0600, geteuid(), 8192}}) {
    auto listener = StartListener();
    ASSERT_TRUE(listener);
    DebugMessage message;
    listener->Receive(&message, 0);  // the buffer is on offer
    Plant(name, planted);
    EXPECT_EQ(platform::WriteDebugOutput("secret line"), DebugWriteResult::kRefused);
    EXPECT_EQ(Contents(name), std::string(static_cast<size_t>(planted.size), '\0'));
    shm_unlink(name.c_str());
  }
}

TEST(DebugOutputTest, WriterRefusesALockFileOthersCouldOpen) {
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  const std::string name = DebugOutputNames::ForThisUser().listenerLock;
  // As in a process that logged before: the presence word is mapped already
  // (a process that has not yet maps nothing from a refused file, and sees
  // no listener). The check on each line must still refuse the file.
  ASSERT_TRUE(platform::ListenerMayBeRunning());
  const int fd = shm_open(name.c_str(), O_RDWR, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(fchmod(fd, 0666), 0);
  EXPECT_EQ(platform::WriteDebugOutput("secret line"), DebugWriteResult::kRefused);
  ASSERT_EQ(fchmod(fd, 0600), 0);
  close(fd);
}

TEST(DebugOutputTest, LinesStillArriveAfterAWriterDiedHoldingTheBuffer) {
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  DebugMessage message;
  listener->Receive(&message, 0);  // the buffer is on offer
  const pid_t child = fork();
  if (child == 0) {
    // A writer's first steps, then death before DATA_READY.
    platform::ObjectState state;
    platform::SharedMapping mapping = platform::SharedMapping::Open(
        DebugOutputNames::ForThisUser().control, sizeof(platform::DebugControl), &state,
        nullptr);
    if (!mapping.valid()) _exit(1);
    auto* control = static_cast<platform::DebugControl*>(mapping.data());
    const timespec deadline = platform::MonotonicDeadlineAfterMs(2000);
    if (platform::LockUntil(&control->writersLock, deadline) != 0) _exit(2);
    _exit(platform::WaitUntil(&control->bufferReady, deadline) ? 0 : 3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  // Long enough for the listener to see the buffer is gone with a dead
  // writer, and offer it again.
  EXPECT_FALSE(listener->Receive(&message, 300));
  // Lines written from now on arrive. A writer that came while the buffer
  // was still lost (on a slow machine the listener's offer can come later)
  // may skip the channel for a second, so the writer keeps writing until
  // its line is heard; without the recovery it never would be.
  std::atomic<bool> heard{false};
  std::thread writer([&heard] {
    for (int i = 0; i < 100 && !heard; ++i) {
      platform::OutputDebugString("after the dead writer");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  std::vector<std::string> received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (received.empty() && std::chrono::steady_clock::now() < deadline) {
    received = ReceiveOwn(*listener, 1);
  }
  heard = true;
  writer.join();
  EXPECT_EQ(received, std::vector<std::string>{"after the dead writer"});
}

TEST(DebugOutputTest, AWriterSkipsAStoppedListenerAfterOneTimeOut) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    std::string error;
    auto listener = DebugOutputListener::Start(&error);
    const char state = listener ? 'y' : 'n';
    if (write(ready[1], &state, 1) != 1 || !listener) _exit(1);
    DebugMessage message;
    for (;;) listener->Receive(&message, 100);
  }
  close(ready[1]);
  char state = 'n';
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  close(ready[0]);
  ASSERT_EQ(state, 'y');
  // Like Ctrl-Z on a monitor.
  ASSERT_EQ(kill(child, SIGSTOP), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
  ASSERT_TRUE(WIFSTOPPED(status));

  int sent = 0, timedOut = 0, skipped = 0;
  for (int i = 0; i < 100; ++i) {
    switch (platform::WriteDebugOutput("spoken word")) {
      case DebugWriteResult::kSent: ++sent; break;
      case DebugWriteResult::kTimedOut: ++timedOut; break;
      case DebugWriteResult::kSkipped: ++skipped; break;
      default: break;
    }
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  // The listener may have had the buffer on offer for one line.
  EXPECT_LE(sent, 1);
  EXPECT_EQ(timedOut, 1);
  EXPECT_EQ(skipped, 100 - sent - timedOut);

  // A new listener is not skipped.
  auto listener = StartListener();
  ASSERT_TRUE(listener);
  DebugWriteResult result = DebugWriteResult::kNoListener;
  std::thread writer([&result] { result = platform::WriteDebugOutput("heard at once"); });
  EXPECT_EQ(ReceiveOwn(*listener, 1), std::vector<std::string>{"heard at once"});
  writer.join();
  EXPECT_EQ(result, DebugWriteResult::kSent);
}

}  // namespace
