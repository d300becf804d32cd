// SPDX-License-Identifier: GPL-3.0-or-later
// narro voices and narro say through speech-dispatcher.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/speechd/SpeechdFixture.h"
#include "tests/support/Shell.h"

namespace {

// Exit status; standard output in out. The environment (NARRO_SPEECH,
// SPEECHD_ADDRESS, XDG_CONFIG_HOME) is the test's.
int RunNarro(const std::string& arguments, std::string& out) {
  return RunShellCommand(std::string(NARRO_TOOL) + " " + arguments + " 2>/dev/null", out);
}

TEST_F(SpeechdTest, NarroVoicesListsTheServersVoices) {
  std::string out;
  ASSERT_EQ(RunNarro("voices", out), 0);
  EXPECT_NE(out.find("German (espeak-ng)\tHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices"
                     "\\Tokens\\speechd\\espeak-ng\\German\n"),
            std::string::npos);
}

TEST_F(SpeechdTest, NarroSaySpeaksThereWithTheVoiceRateAndVolumeGiven) {
  std::string out;
  ASSERT_EQ(RunNarro("say --voice 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices"
                     "\\Tokens\\speechd\\espeak-ng\\German' --rate 3 --volume 80 guten tag",
                     out),
            0);
  const std::vector<std::string> lines = m_watch->ClientLines();
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("SET SELF SYNTHESIS_VOICE German"));
  EXPECT_TRUE(has("SET SELF RATE 30"));
  EXPECT_TRUE(has("SET SELF VOLUME 60"));
  EXPECT_TRUE(has("guten tag"));
}

TEST_F(SpeechdTest, NarroSayFailsWhenTheServerCannotBeReached) {
  m_server->Stop();
  std::string out;
  EXPECT_EQ(RunNarro("say hello", out), 1);
}

}  // namespace
