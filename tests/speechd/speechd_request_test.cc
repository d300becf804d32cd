// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches speech-dispatcher for each kind of SAPI request.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/speechd/SpeechdRequest.h"
#include "platform/sapi/VoiceTokens.h"
#include "tests/speechd/SpeechdFixture.h"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

// Whether the lines appear in this order within lines, others between.
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
  auto at = lines.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) return false;
    ++at;
  }
  return true;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasEvent(const SsipWatch& watch, int code, int message) {
  for (const SsipEvent& event : watch.Events()) {
    if (event.code == code && event.message == message) return true;
  }
  return false;
}

ISpObjectToken* Token(const std::wstring& id) {
  ISpObjectToken* token = nullptr;
  CreateSpObjectToken(&token);
  if (token->SetId(nullptr, id.c_str(), false) != S_OK) {
    token->Release();
    return nullptr;
  }
  return token;
}

const wchar_t kGerman[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\speechd\\espeak-ng\\German";

TEST(SpeechdRequestTest, FlagsRateAndVolumeOnSpeechDispatchersScales) {
  EXPECT_EQ(SpeechdPriority(SPF_ASYNC | SPF_PURGEBEFORESPEAK), SPD_TEXT);
  EXPECT_EQ(SpeechdPriority(SPF_ASYNC), SPD_MESSAGE);
  EXPECT_EQ(SpeechdPriority(SPF_PURGEBEFORESPEAK), SPD_MESSAGE);
  EXPECT_EQ(SpeechdPriority(SPF_DEFAULT), SPD_MESSAGE);
  EXPECT_EQ(SpeechdRate(-10), -100);
  EXPECT_EQ(SpeechdRate(0), 0);
  EXPECT_EQ(SpeechdRate(5), 50);
  EXPECT_EQ(SpeechdRate(99), 100);
  EXPECT_EQ(SpeechdVolume(0), -100);
  EXPECT_EQ(SpeechdVolume(50), 0);
  EXPECT_EQ(SpeechdVolume(100), 100);
  EXPECT_EQ(SpeechdVolume(400), 100);
  EXPECT_EQ(SpeechdText(L"a\x01" L"b", false), "a b");
  EXPECT_EQ(SpeechdText(L"<b>x</b>", false), "<b>x</b>");
  EXPECT_EQ(SpeechdText(L"<emphasis>x</emphasis>", true), "<speak><emphasis>x</emphasis></speak>");
  EXPECT_EQ(SpeechdText(L"<speak>x</speak>", true), "<speak>x</speak>");
}

TEST_F(SpeechdTest, RequestsArriveInOrderWithPriorityRateVolumeVoiceAndMode) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  ISpObjectToken* german = Token(kGerman);
  ASSERT_NE(german, nullptr);
  voice->SetVoice(german);
  voice->SetRate(5);
  voice->SetVolume(50);
  voice->Speak(L"first", SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
  voice->Speak(L"<emphasis>second</emphasis>", SPF_ASYNC | SPF_IS_XML, nullptr);
  voice->Speak(L"<b>third</b>", SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
  voice->Speak(L"fifth", SPF_IS_NOT_XML, nullptr);  // waits for all of it
  german->Release();
  voice->Release();
  const std::vector<std::string> lines = m_watch->ClientLines();
  EXPECT_TRUE(InOrder(lines, {"SET SELF OUTPUT_MODULE espeak-ng", "SET SELF SYNTHESIS_VOICE German",
                              "SET SELF RATE 50", "SET SELF VOLUME 0",
                              "SET SELF PRIORITY MESSAGE", "speak", "first", ".",
                              "SET SELF SSML_MODE on", "SET SELF PRIORITY MESSAGE", "speak",
                              "<speak><emphasis>second</emphasis></speak>", ".",
                              "SET SELF SSML_MODE off", "SET SELF PRIORITY MESSAGE", "speak",
                              "<b>third</b>", ".",
                              "SET SELF PRIORITY MESSAGE", "speak", "fifth", "."}))
      << ::testing::PrintToString(lines);
}

TEST_F(SpeechdTest, TheDefaultVoiceIsThePlayersAndNothingIsSetForIt) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  voice->SetVoice(nullptr);
  voice->SetRate(0);
  voice->SetVolume(100);
  voice->Speak(L"plain", SPF_DEFAULT, nullptr);
  voice->Release();
  for (const std::string& line : m_watch->ClientLines()) {
    EXPECT_EQ(line.find("OUTPUT_MODULE"), std::string::npos) << line;
    EXPECT_EQ(line.find("SYNTHESIS_VOICE"), std::string::npos) << line;
    EXPECT_EQ(line.find(" RATE "), std::string::npos) << line;
    EXPECT_EQ(line.find(" VOLUME "), std::string::npos) << line;
  }
  EXPECT_TRUE(Has(m_watch->ClientLines(), "plain"));
}

TEST_F(SpeechdTest, SynchronousSpeakReturnsAfterTheEndNotification) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  voice->Speak(LongText().c_str(), SPF_IS_NOT_XML, nullptr);
  const Clock::time_point returned = Clock::now();
  const std::vector<int> ids = m_watch->MessageIds(1);
  ASSERT_EQ(ids.size(), 1u);
  bool ended = false;
  for (const SsipEvent& event : m_watch->Events()) {
    if (event.message != ids[0]) continue;
    if (event.code == 701) {
      EXPECT_GT(returned - event.time, std::chrono::milliseconds(0));
    }
    if (event.code == 702) {
      ended = true;
      EXPECT_LE(event.time, returned);
    }
  }
  EXPECT_TRUE(ended) << "returned before speech-dispatcher reported the end";
  voice->Release();
}

TEST_F(SpeechdTest, PurgeCancelsNarrosSpeechButNotAnotherClients) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  voice->Speak(LongText().c_str(), SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
  ASSERT_TRUE(m_watch->WaitFor([&] {
    const std::vector<int> ids = m_watch->MessageIds(1);
    return !ids.empty() && HasEvent(*m_watch, 701, ids[0]);
  }));
  // A screen reader says something of its own meanwhile.
  char* error = nullptr;
  SPDConnection* other = spd_open2("reader", "main", nullptr, SPD_MODE_THREADED, nullptr, 0, &error);
  ASSERT_NE(other, nullptr) << (error ? error : "");
  spd_set_notification_on(other, SPD_ALL);
  const int theirs = spd_say(other, SPD_MESSAGE, "The screen reader's own message.");
  ASSERT_GT(theirs, 0);
  voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  const int ours = m_watch->MessageIds(1)[0];
  EXPECT_TRUE(m_watch->WaitFor([&] { return HasEvent(*m_watch, 703, ours); }));
  EXPECT_TRUE(m_watch->WaitFor([&] { return HasEvent(*m_watch, 702, theirs); }));
  EXPECT_FALSE(HasEvent(*m_watch, 703, theirs));
  EXPECT_TRUE(Has(m_watch->ClientLines(1), "CANCEL SELF"));
  for (const std::string& line : m_watch->ClientLines(1)) {
    EXPECT_EQ(line.find("CANCEL ALL"), std::string::npos);
  }
  spd_close(other);
  free(error);
  voice->Release();
}

TEST_F(SpeechdTest, AnEchoCutsOffTheEchoBeforeItAtOnce) {
  ISpVoice* voice = MakeVoice();
  ASSERT_NE(voice, nullptr);
  const uint32_t echo = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML;
  voice->Speak(LongText().c_str(), echo, nullptr);
  ASSERT_TRUE(m_watch->WaitFor([&] {
    const std::vector<int> ids = m_watch->MessageIds(1);
    return !ids.empty() && HasEvent(*m_watch, 701, ids[0]);
  }));
  voice->Speak(L"next", echo, nullptr);
  ASSERT_TRUE(m_watch->WaitFor([&] { return m_watch->MessageIds(1).size() == 2; }));
  const std::vector<int> ids = m_watch->MessageIds(1);
  EXPECT_TRUE(m_watch->WaitFor([&] { return HasEvent(*m_watch, 703, ids[0]); }));
  EXPECT_TRUE(m_watch->WaitFor([&] { return HasEvent(*m_watch, 702, ids[1]); }));
  EXPECT_TRUE(InOrder(m_watch->ClientLines(1),
                      {"SET SELF PRIORITY TEXT", "speak", ".", "CANCEL SELF",
                       "SET SELF PRIORITY TEXT", "speak", "next", "."}));
  voice->Release();
}

TEST_F(SpeechdTest, VoiceListHoldsTheEspeakNgModulesVoices) {
  const VoiceTokenStore::TokenList tokens = InstalledVoiceTokens();
  size_t espeak = 0;
  bool german = false;
  for (const VoiceToken& token : *tokens) {
    if (token.module == "espeak-ng") ++espeak;
    if (token.id == kGerman) {
      german = true;
      EXPECT_EQ(token.values.at(L""), L"German (espeak-ng)");
      EXPECT_EQ(token.engineVoice, "German");
      EXPECT_EQ(token.language, "de");
    }
  }
  EXPECT_GT(espeak, 50u);
  EXPECT_TRUE(german);
}

TEST_F(SpeechdTest, TheFacadeSpeaksAndListsThroughSpeechDispatcher) {
  StartLibrary();
  ASSERT_TRUE(Facade().InitializeSAPI(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\speechd\\espeak-ng\\German",
      -10, 100));
  EXPECT_TRUE(LogHas("Speech: speech-dispatcher"));
  Facade().Speak("hallo", 0);
  EXPECT_TRUE(Has(m_watch->ClientLines(), "hallo"));
  EXPECT_TRUE(Has(m_watch->ClientLines(), "SET SELF SYNTHESIS_VOICE German"));
  EXPECT_TRUE(Has(m_watch->ClientLines(), "SET SELF RATE -100"));
  StopLibrary();
}

// Listing voices holds up every other client of a shared server (a screen
// reader among them) while it answers: a host that speaks with the player's
// default voice never asks for the list.
TEST_F(SpeechdTest, TheVoiceListIsAskedForOnlyWhenAVoiceIsNamed) {
  StartLibrary();
  ASSERT_TRUE(Facade().InitializeSAPI("", 0, 100));
  Facade().Speak("plain", 0);
  EXPECT_TRUE(Has(m_watch->ClientLines(), "plain"));
  EXPECT_FALSE(Has(m_watch->ClientLines(), "LIST SYNTHESIS_VOICES"));
  EXPECT_FALSE(Has(m_watch->ClientLines(), "LIST OUTPUT_MODULES"));
  StopLibrary();
}

}  // namespace
