// SPDX-License-Identifier: GPL-3.0-or-later
// A speech-dispatcher that dies, hangs or is not there costs silence and a
// log line, never a hang or a crash.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/SpeechEnd.h"
#include "platform/sapi/speechd/SpeechdConnection.h"
#include "platform/sapi/VoiceTokens.h"
#include "tests/speechd/SpeechdFixture.h"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

// Not a measure of speed (the benchmark has those): only that the call came
// back at all, where a hang would otherwise stop the whole test program.
constexpr auto kCameBack = std::chrono::seconds(10);

// A socket whose connections the kernel takes but nobody ever reads.
class SilentServer {
 public:
  explicit SilentServer(const std::string& path) : m_path(path) {
    m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_fd, 16);
  }
  // Closing lets an open that was given up on finish.
  ~SilentServer() {
    close(m_fd);
    unlink(m_path.c_str());
  }

 private:
  std::string m_path;
  int m_fd = -1;
};

bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
  auto at = lines.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) return false;
    ++at;
  }
  return true;
}

bool HasEvent(const SsipWatch& watch, int code, int message) {
  for (const SsipEvent& event : watch.Events()) {
    if (event.code == code && event.message == message) return true;
  }
  return false;
}

TEST(AudioEndChoiceTest, SpeechdAndUnsetPickSpeechDispatcher) {
  unsetenv("NARRO_SPEECH");
  EXPECT_EQ(ChooseAudioEnd().kind, AudioEndChoice::kAutomatic);
  setenv("NARRO_SPEECH", "speechd", 1);
  EXPECT_EQ(ChooseAudioEnd().kind, AudioEndChoice::kSpeechd);
  setenv("NARRO_SPEECH", "audio", 1);
  EXPECT_EQ(ChooseAudioEnd().kind, AudioEndChoice::kSoundCard);
  unsetenv("NARRO_SPEECH");
}

TEST_F(SpeechdTest, KillingTheServerMidSpeechSilencesThenReconnects) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  std::thread speaker([&] { voice->Speak(LongText().c_str(), SPF_IS_NOT_XML, nullptr); });
  ASSERT_TRUE(m_watch->WaitFor([&] {
    const std::vector<int> ids = m_watch->MessageIds(1);
    return !ids.empty() && HasEvent(*m_watch, 701, ids[0]);
  }));
  const Clock::time_point killed = Clock::now();
  m_server->Kill();
  speaker.join();  // the synchronous speak gives up with the connection
  EXPECT_LT(Clock::now() - killed, kCameBack);
  voice->Speak(L"into the void", SPF_IS_NOT_XML, nullptr);
  voice->Speak(L"and again", SPF_IS_NOT_XML, nullptr);
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 1u);

  ASSERT_TRUE(m_server->Start());
  voice->Speak(L"back again", SPF_IS_NOT_XML, nullptr);
  bool heard = false;
  for (const SsipLine& line : m_watch->Lines()) {
    if (line.connection > 1 && line.fromClient && line.text == "back again") heard = true;
  }
  EXPECT_TRUE(heard);
  EXPECT_EQ(LogCount("speech-dispatcher: connected again"), 1u);
  voice->Release();
}

TEST_F(SpeechdTest, AServerThatStopsAnsweringEndsTheConnection) {
  SpeechdLimits limits;
  limits.reply = std::chrono::milliseconds(300);
  limits.explicitOpen = std::chrono::milliseconds(300);
  const ScopedSpeechdLimits shorter(limits);
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  voice->Speak(L"heard", SPF_IS_NOT_XML, nullptr);
  m_watch->Freeze();
  const Clock::time_point asked = Clock::now();
  voice->Speak(L"never answered", SPF_IS_NOT_XML, nullptr);
  EXPECT_LT(Clock::now() - asked, kCameBack);
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 1u);
  voice->Release();
}

TEST_F(SpeechdTest, AServerThatNeverAnswersFailsTheVoiceInTime) {
  SpeechdLimits limits;
  limits.explicitOpen = std::chrono::milliseconds(300);
  const ScopedSpeechdLimits shorter(limits);
  const SilentServer silent(DataFile("silent.sock"));
  PrivateSpeechDispatcher::UseAddress(DataFile("silent.sock"), m_server->configHome());
  const Clock::time_point asked = Clock::now();
  ISpVoice* voice = nullptr;
  EXPECT_NE(CreateSpVoice(&voice), S_OK);
  EXPECT_EQ(voice, nullptr);
  EXPECT_LT(Clock::now() - asked, kCameBack);
  EXPECT_EQ(LogCount("Speech: speech-dispatcher cannot be reached (no answer within 300 ms)"), 1u);
}

TEST_F(SpeechdTest, UnsetGivesSpeechDispatcher200MsThenTheSoundCard) {
  unsetenv("NARRO_SPEECH");
  const SilentServer silent(DataFile("silent.sock"));
  PrivateSpeechDispatcher::UseAddress(DataFile("silent.sock"), m_server->configHome());
  const Clock::time_point asked = Clock::now();
  ISpVoice* voice = nullptr;
  CreateSpVoice(&voice);  // the sound card, where the machine has one
  const auto waited = Clock::now() - asked;
  if (voice) voice->Release();
  // The log names the limit the open was given.
  EXPECT_EQ(LogCount("Speech: the sound card (speech-dispatcher: no answer within 200 ms)"), 1u);
  EXPECT_LT(waited, kCameBack);
}

TEST_F(SpeechdTest, UnsetWithNoServerNeverAutospawnsTheMachines) {
  unsetenv("NARRO_SPEECH");
  m_server->Stop();
  PrivateSpeechDispatcher::UseAddress(DataFile("nobody.sock"), m_server->configHome());
  const Clock::time_point asked = Clock::now();
  ISpVoice* voice = nullptr;
  CreateSpVoice(&voice);
  const auto waited = Clock::now() - asked;
  if (voice) voice->Release();
  EXPECT_EQ(LogCount("Speech: the sound card (speech-dispatcher: "), 1u);
  // The spawn is refused either way: by the switch in the test's own
  // configuration, or, on a machine whose player already runs a server, by
  // that server's being there. No second server starts.
  std::string log;
  for (const std::string& line : LogLines()) log += line + "\n";
  EXPECT_EQ(LogCount("Autospawn requested but disabled") +
                LogCount("Speech Dispatcher already running"),
            1u)
      << log;
  EXPECT_LT(waited, kCameBack);
  EXPECT_FALSE(FileExists(DataFile("nobody.sock")));
}

TEST_F(SpeechdTest, UnsetWithAServerSpeaksThere) {
  unsetenv("NARRO_SPEECH");
  ISpVoice* voice = nullptr;
  ASSERT_EQ(CreateSpVoice(&voice), S_OK);
  voice->Speak(L"shared", SPF_IS_NOT_XML, nullptr);
  voice->Release();
  EXPECT_EQ(LogCount("Speech: speech-dispatcher"), 1u);
  bool heard = false;
  for (const std::string& line : m_watch->ClientLines()) heard = heard || line == "shared";
  EXPECT_TRUE(heard);
}

class FixedTokens : public platform::VoiceTokenStore {
 public:
  TokenList Tokens() override {
    auto tokens = std::make_shared<std::vector<platform::VoiceToken>>();
    platform::VoiceToken token;
    token.id = L"T\\refused";
    token.values[L""] = L"Refused";
    token.module = "no-such-module";
    token.engineVoice = "Nobody";
    tokens->push_back(token);
    return tokens;
  }
};

// speech-dispatcher 0.11 takes any module and voice name and falls back to
// its own; Narro logs a refusal only where the server says no. Either way
// the speech goes on.
TEST_F(SpeechdTest, AVoiceTheServerDoesNotHaveStillSpeaks) {
  FixedTokens fixed;
  const platform::ScopedVoiceTokenStore useFixed(fixed);
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  ISpObjectToken* token = nullptr;
  CreateSpObjectToken(&token);
  ASSERT_EQ(token->SetId(nullptr, L"T\\refused", false), S_OK);
  voice->SetVoice(token);
  voice->Speak(L"still heard", SPF_IS_NOT_XML, nullptr);
  voice->Speak(L"and again", SPF_IS_NOT_XML, nullptr);
  token->Release();
  voice->Release();
  EXPECT_TRUE(InOrder(m_watch->ClientLines(1), {"SET SELF OUTPUT_MODULE no-such-module",
                                                "SET SELF SYNTHESIS_VOICE Nobody", "still heard"}));
  EXPECT_EQ(LogCount("speech-dispatcher: connection lost"), 0u);
  const std::vector<int> ids = m_watch->MessageIds(1);
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_TRUE(HasEvent(*m_watch, 702, ids[0]));
  EXPECT_TRUE(HasEvent(*m_watch, 702, ids[1]));
}

}  // namespace
