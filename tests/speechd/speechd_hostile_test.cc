// SPDX-License-Identifier: GPL-3.0-or-later
// Speech servers that answer garbage, trickle, claim a million voices or
// freeze: each costs at most the connection, in bounded time, threads and
// descriptors; none ends or hangs the host.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <thread>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/speechd/SpeechdConnection.h"
#include "platform/sapi/speechd/SpeechdVoiceList.h"
#include "platform/sapi/VoiceTokens.h"
#include "tests/speechd/HostileSsipServer.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/Shell.h"

namespace {

using namespace platform;
using Mode = HostileSsipServer::Mode;

// Not a measure of speed: only that the call came back at all.
constexpr auto kCameBack = std::chrono::seconds(60);

class HostileServerTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    for (const char* name : {"NARRO_SPEECH", "SPEECHD_ADDRESS"}) {
      if (const char* value = std::getenv(name)) m_saved.emplace_back(name, value);
    }
    m_socket = DataFile("hostile.sock");
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + m_socket).c_str(), 1);
    setenv("NARRO_SPEECH", "speechd", 1);
    m_shorter.reply = std::chrono::milliseconds(300);
    m_shorter.explicitOpen = std::chrono::milliseconds(300);
    m_shorter.voiceList = std::chrono::milliseconds(300);
    m_limits = std::make_unique<ScopedSpeechdLimits>(m_shorter);
  }
  void TearDown() override {
    m_limits.reset();
    unsetenv("NARRO_SPEECH");
    unsetenv("SPEECHD_ADDRESS");
    for (const auto& [name, value] : m_saved) setenv(name.c_str(), value.c_str(), 1);
    ForgetSpeechdVoices();
    LibraryTest::TearDown();
  }
  size_t LogCount(const std::string& part) const {
    size_t count = 0;
    for (const std::string& line : LogLines()) count += line.find(part) != std::string::npos;
    return count;
  }
  // The voice list, or fails the test (and ends the server, so that the
  // listing ends too) when it does not come back.
  VoiceTokenStore::TokenList ListVoices(std::unique_ptr<HostileSsipServer>& server) {
    auto listed = std::async(std::launch::async, [] { return InstalledVoiceTokens(); });
    if (listed.wait_for(kCameBack) != std::future_status::ready) {
      ADD_FAILURE() << "the voice list never came back";
      server.reset();
    }
    return listed.get();
  }
  std::string m_socket;
  std::vector<std::pair<std::string, std::string>> m_saved;
  SpeechdLimits m_shorter;  // in place for as long as the test runs
  std::unique_ptr<ScopedSpeechdLimits> m_limits;
};

size_t Entries(const char* folder) {
  size_t count = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

// How often the process's threads went to sleep and woke since they began.
long ContextSwitches() {
  long total = 0;
  DIR* dir = opendir("/proc/self/task");
  if (dir == nullptr) return -1;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream status(std::string("/proc/self/task/") + entry->d_name + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
          line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        total += std::atol(line.substr(line.find(':') + 1).c_str());
      }
    }
  }
  closedir(dir);
  return total;
}

TEST_F(HostileServerTest, GarbageAnswersCostTheConnectionNeverTheProcess) {
  const HostileSsipServer server(m_socket, Mode::kGarbage);
  const std::string tool = std::string(NARRO_TOOL) + " ";
  std::string out;
  // Probed for 200 ms, then the sound card's voices are listed.
  EXPECT_EQ(RunShellCommand("unset NARRO_SPEECH; " + tool + "voices 2>&1", out), 0) << out;
  EXPECT_EQ(out.find("Fatal"), std::string::npos) << out;
  RunShellCommand(tool + "voices 2>&1", out);
  EXPECT_EQ(out, "narro voices: no voices installed\n");
  RunShellCommand(tool + "say hello 2>&1", out);
  EXPECT_EQ(out, "narro say: no speech on this machine\n");
}

TEST_F(HostileServerTest, ATricklingVoiceListIsCutOffAtTheReplyTime) {
  auto server = std::make_unique<HostileSsipServer>(m_socket, Mode::kTrickleVoices);
  const VoiceTokenStore::TokenList tokens = ListVoices(server);
  EXPECT_LT(tokens->size(), 2u);
  EXPECT_EQ(LogCount("speech-dispatcher: the voice list was cut short at"), 1u);
}

TEST_F(HostileServerTest, AMillionVoicesAreCutAtTheCap) {
  auto server = std::make_unique<HostileSsipServer>(m_socket, Mode::kMillionVoices);
  const VoiceTokenStore::TokenList tokens = ListVoices(server);
  EXPECT_EQ(tokens->size(), kMaxSpeechdVoices);
  EXPECT_EQ(LogCount("speech-dispatcher: the voice list was cut short at 20000 voices"), 1u);
}

TEST_F(HostileServerTest, AFrozenServerLeavesNoThreadsOrDescriptorsBehind) {
  HostileSsipServer server(m_socket, Mode::kWellBehaved);
  ISpVoice* voice = nullptr;
  ASSERT_EQ(CreateSpVoice(&voice), S_OK);
  voice->Speak(L"heard", SPF_IS_NOT_XML, nullptr);
  server.Freeze();
  voice->Speak(L"lost", SPF_IS_NOT_XML, nullptr);
  const size_t threads = Entries("/proc/self/task");
  const size_t descriptors = Entries("/proc/self/fd");
  for (int i = 0; i < 5; ++i) voice->Speak(L"into the void", SPF_IS_NOT_XML, nullptr);
  EXPECT_EQ(Entries("/proc/self/task"), threads);
  EXPECT_EQ(Entries("/proc/self/fd"), descriptors);
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 1u);
  voice->Release();
}

// A voice with nothing to say sleeps until something happens: a second of
// idleness wakes none of its threads (the test's own sleep is one or two).
TEST_F(HostileServerTest, AnIdleVoiceWakesNoThread) {
  HostileSsipServer server(m_socket, Mode::kWellBehaved);
  ISpVoice* voice = nullptr;
  ASSERT_EQ(CreateSpVoice(&voice), S_OK);
  voice->Speak(L"heard", SPF_IS_NOT_XML, nullptr);
  // The utterance's last events settle first: on a busy machine that takes
  // longer than on a quiet one. A tenth of a second in which nothing but
  // this thread's own sleep switched is settled; a thread that wakes on a
  // timer never gets there, and the count below says so.
  for (int tries = 0; tries < 30; ++tries) {
    const long start = ContextSwitches();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (ContextSwitches() - start <= 1) break;
  }
  const long before = ContextSwitches();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_LE(ContextSwitches() - before, 4);
  voice->Release();
}

// A purge that comes while the server is still taking the text in cancels
// that text once the server has it, as it cancels one already being spoken.
TEST_F(HostileServerTest, APurgeWhileTheTextIsSentStillCancelsIt) {
  HostileSsipServer server(m_socket, Mode::kSlowToQueue);
  ISpVoice* voice = nullptr;
  ASSERT_EQ(CreateSpVoice(&voice), S_OK);
  voice->Speak(L"A paragraph the server is slow to take.", SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
  std::this_thread::sleep_for(HostileSsipServer::kQueueDelay / 4);
  voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (server.Cancels() == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(server.Cancels(), 1);
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 0u);
  voice->Release();
}

// A server that takes an utterance and never says it ended: a synchronous
// request still comes back, the utterance cancelled, the connection kept
// for the next one. (Its own limit is shortened here; the real one allows
// the slowest speech of the text.)
TEST_F(HostileServerTest, AnUtteranceThatNeverEndsIsGivenUpAndCancelled) {
  HostileSsipServer server(m_socket, Mode::kSlowToQueue);
  m_shorter.speakingBase = std::chrono::milliseconds(500);
  m_shorter.speakingPerCharacter = std::chrono::milliseconds(0);
  ISpVoice* voice = nullptr;
  ASSERT_EQ(CreateSpVoice(&voice), S_OK);
  auto spoken = std::async(std::launch::async, [voice] {
    return voice->Speak(L"Never ends.", SPF_IS_NOT_XML, nullptr);
  });
  ASSERT_EQ(spoken.wait_for(kCameBack), std::future_status::ready) << "the request never came back";
  EXPECT_EQ(spoken.get(), S_OK);
  EXPECT_EQ(server.Cancels(), 1);
  EXPECT_EQ(LogCount("speech-dispatcher: an utterance never ended; cancelled"), 1u);
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 0u);
  voice->Release();
}

}  // namespace
