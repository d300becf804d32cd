// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/speech/SpeechFixture.h"

namespace {

class InputMonitorTest : public SpeechTest {};

TEST_F(InputMonitorTest, CompletedWordsAreRememberedAndSpokenAtOnce) {
  StartSpeaking();
  CNarro& narro = Facade();
  EXPECT_EQ(narro.MonitorInput("go north"), 0);  // not completed yet
  EXPECT_EQ(narro.MonitorInput("go north "), 5);
  EXPECT_EQ(narro.GetLastCommandLength(), 5);
  EXPECT_EQ(narro.MonitorInput("take lamp  "), 4);
  EXPECT_EQ(narro.MonitorInput("what?"), 4);
  EXPECT_EQ(narro.MonitorInput(L"x, y."), 1);
  EXPECT_EQ(narro.MonitorInput("open:"), 1);  // a colon ends no word here
  EXPECT_EQ(narro.MonitorInput(" "), 0);      // silences
  EXPECT_EQ(narro.MonitorInput(""), 0);
  narro.Speak("", 2);
  std::vector<std::string> texts;
  for (const SpeakRequest& request : Requests()) {
    texts.push_back(request.text);
    if (texts.size() <= 5) {
      EXPECT_EQ(request.flags, 19u);
    }
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"north", "lamp", "what", "y", "", ""}));
}

TEST_F(InputMonitorTest, HistoryCountSkipsLinesWithoutTouchingAnything) {
  StartSpeaking();
  CNarro& narro = Facade();
  narro.SetMode(7);
  narro.SetHistory(2);
  EXPECT_EQ(narro.MonitorInput("look "), 0);
  EXPECT_EQ(narro.GetHistory(), 1);
  EXPECT_EQ(narro.MonitorInput("look "), 0);
  EXPECT_EQ(narro.GetHistory(), 0);
  EXPECT_EQ(narro.GetMode(), 7);
  EXPECT_EQ(narro.GetLastCommandLength(), 0);
  EXPECT_EQ(narro.MonitorInput("look "), 4);
  EXPECT_EQ(narro.GetMode(), 0);
  narro.SetHistory(-1);  // read as unsigned: monitoring is off for long
  EXPECT_EQ(narro.MonitorInput("wait "), 0);
  EXPECT_EQ(narro.GetHistory(), -2);
  narro.Speak("", 2);
  EXPECT_EQ(Requests().size(), 2u);  // "look", then the silence
}

TEST_F(InputMonitorTest, WithSpeechOffOrNoEngineWordsAreOnlyRemembered) {
  StartLibrary();
  EXPECT_EQ(Facade().MonitorInput("north "), 5);  // no engine yet
  ASSERT_TRUE(Facade().InitializeSAPI("", 0, 100));
  Facade().removeFlag(FLAG_SPEECH);
  EXPECT_EQ(Facade().MonitorInput("south "), 5);
  Facade().addFlag(FLAG_SPEECH);
  EXPECT_EQ(Facade().MonitorInput(L"east "), 4);
  Facade().Speak("", 2);
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_EQ(Requests()[0].text, "east");
}

TEST_F(InputMonitorTest, NarrowLineWidensEachByte) {
  StartSpeaking();
  EXPECT_EQ(Facade().MonitorInput("caf\xe9 "), 4);
  Facade().Speak("", 2);
  EXPECT_EQ(Requests()[0].text, "caf\xc3\xa9");
}

}  // namespace
