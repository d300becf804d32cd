// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speechd/SpeechdFixture.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {
// The test program's own values come back after each test.
constexpr const char* kVariables[] = {"NARRO_SPEECH", "SPEECHD_ADDRESS", "XDG_CONFIG_HOME"};
}  // namespace

void SpeechdTest::SetUp() {
  LibraryTest::SetUp();
  for (const char* name : kVariables) {
    const char* value = std::getenv(name);
    if (value) m_savedEnvironment.emplace_back(name, value);
  }
  const std::string folder = DataFile("sd/");
  mkdir(folder.c_str(), 0700);
  m_server = std::make_unique<PrivateSpeechDispatcher>(folder);
  ASSERT_TRUE(m_server->Start()) << "speech-dispatcher did not start";
  m_watch = std::make_unique<SsipWatch>(DataFile("watch.sock"), m_server->socket());
  PrivateSpeechDispatcher::UseAddress(m_watch->socket(), m_server->configHome());
  setenv("NARRO_SPEECH", "speechd", 1);
}

void SpeechdTest::TearDown() {
  m_watch.reset();
  m_server.reset();
  for (const char* name : kVariables) unsetenv(name);
  for (const auto& [name, value] : m_savedEnvironment) setenv(name.c_str(), value.c_str(), 1);
  LibraryTest::TearDown();
}

platform::ISpVoice* SpeechdTest::MakeVoice() {
  platform::ISpVoice* voice = nullptr;
  EXPECT_EQ(platform::CreateSpVoice(&voice), platform::S_OK);
  return voice;
}

std::wstring SpeechdTest::LongText() {
  std::wstring text;
  for (int i = 0; i < 40; ++i) {
    text += L"The quick brown fox jumps over the lazy dog near the old mill. ";
  }
  return text;
}

size_t SpeechdTest::LogCount(const std::string& part) const {
  size_t count = 0;
  for (const std::string& line : LogLines()) {
    if (line.find(part) != std::string::npos) ++count;
  }
  return count;
}
