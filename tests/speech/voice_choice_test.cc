// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/locale/Language.h"
#include "platform/sapi/VoiceTokens.h"
#include "speech/SpeechTTS.h"
#include "tests/speech/SpeechFixture.h"

namespace {

using platform::VoiceToken;

class FakeTokenStore : public platform::VoiceTokenStore {
 public:
  explicit FakeTokenStore(std::vector<VoiceToken> tokens)
      : m_tokens(std::make_shared<std::vector<VoiceToken>>(std::move(tokens))) {}
  TokenList Tokens() override { return m_tokens; }

 private:
  TokenList m_tokens;
};

VoiceToken Token(const std::wstring& id, std::map<std::wstring, std::wstring> values) {
  VoiceToken token;
  token.id = id;
  token.values = std::move(values);
  return token;
}

class VoiceChoiceTest : public SpeechTest {
 protected:
  void UseTokens(std::vector<VoiceToken> tokens) {
    m_using.reset();  // the previous fake goes before the next comes
    m_store = std::make_unique<FakeTokenStore>(std::move(tokens));
    m_using = std::make_unique<platform::ScopedVoiceTokenStore>(*m_store);
  }
  void TearDown() override {
    m_using.reset();
    SpeechTest::TearDown();
  }
  std::unique_ptr<FakeTokenStore> m_store;
  std::unique_ptr<platform::ScopedVoiceTokenStore> m_using;
  std::vector<VoiceEntry> Voices() {
    std::vector<VoiceEntry> voices;
    CSpeechTTS::EnumerateVoices(voices, platform::SPCAT_VOICES);
    return voices;
  }
};

TEST(LangIdTest, HexHasNoPrefixAndNoLeadingZeros) {
  EXPECT_EQ(CSpeechTTS::HexFromLangId(0x0409), L"409");
  EXPECT_EQ(CSpeechTTS::HexFromLangId(0), L"0");
  EXPECT_EQ(CSpeechTTS::HexFromLangId(0xABCD), L"ABCD");
  EXPECT_EQ(CSpeechTTS::HexFromLangId(0x1F), L"1F");
}

TEST(LangIdTest, InterfaceLanguageFollowsTheLocaleVariablesInOrder) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "LC_CTYPE"}) {
    unsetenv(name);
  }
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0409);  // nothing set: never 0
  setenv("LANG", "fr_FR.UTF-8", 1);
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x040C);
  setenv("LC_MESSAGES", "de_DE", 1);
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0407);
  setenv("LC_ALL", "es_ES@euro", 1);
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0C0A);
  setenv("LANGUAGE", "nl_NL:en", 1);
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0413);
  setenv("LANGUAGE", "", 1);
  setenv("LC_ALL", "C", 1);  // names no language: the next one counts
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0407);
  unsetenv("LC_MESSAGES");
  setenv("LANG", "POSIX", 1);
  setenv("LC_CTYPE", "it_IT.UTF-8", 1);  // the user's default language
  EXPECT_EQ(CSpeechTTS::GetUserUILanguage(), 0x0410);
  for (const char* name : {"LANGUAGE", "LC_ALL", "LANG", "LC_CTYPE"}) unsetenv(name);
}

TEST_F(VoiceChoiceTest, DescriptionsAreReadInTheInterfaceLanguageElseTheDefault) {
  UseTokens({Token(L"T\\one", {{L"", L"Plain Voice"}}),
             Token(L"T\\two", {{L"", L"Neutral"}, {L"409", L"American Voice"}}),
             Token(L"T\\mute", {{L"407", L"Nur Deutsch"}}),
             Token(L"T\\three", {{L"", L"Plain Voice"}})});
  setenv("LANG", "en_US.UTF-8", 1);
  std::vector<VoiceEntry> voices = Voices();
  ASSERT_EQ(voices.size(), 3u);  // the token without a readable name is left out
  EXPECT_EQ(voices[0].name, "Plain Voice");
  EXPECT_EQ(voices[0].id, "T\\one");
  EXPECT_EQ(voices[1].name, "American Voice");
  EXPECT_EQ(voices[2].id, "T\\three");
  setenv("LANG", "de_DE.UTF-8", 1);
  voices = Voices();
  ASSERT_EQ(voices.size(), 4u);
  EXPECT_EQ(voices[1].name, "Neutral");
  EXPECT_EQ(voices[2].name, "Nur Deutsch");
}

TEST_F(VoiceChoiceTest, EnumerationAppendsToWhatTheListHolds) {
  UseTokens({Token(L"T\\one", {{L"", L"One"}})});
  std::vector<VoiceEntry> voices = {VoiceEntry{"kept", "K"}};
  EXPECT_EQ(CSpeechTTS::EnumerateVoices(voices, platform::SPCAT_VOICES), platform::S_OK);
  EXPECT_EQ(voices.size(), 2u);
  EXPECT_EQ(CSpeechTTS::EnumerateVoices(voices, L"HKEY_LOCAL_MACHINE\\No\\Such"),
            platform::SPERR_NO_MORE_ITEMS);
  EXPECT_EQ(voices.size(), 2u);
}

TEST_F(VoiceChoiceTest, FirstInitialisationWinsAndChangeVoiceSplitsAsDocumented) {
  UseTokens({Token(L"T\\a", {{L"", L"Alpha"}}), Token(L"T\\b", {{L"", L"Beta"}}),
             Token(L"T\\b2", {{L"", L"Beta"}})});
  StartLibrary();
  CNarro& narro = Facade();
  ASSERT_TRUE(narro.InitializeSAPI("", 0, 100));
  EXPECT_FALSE(narro.InitializeSAPI("T\\a", 9, 9));
  std::string id = "x";
  long rate = 1;
  int volume = 1;
  narro.GetVoice(id, rate, volume);
  EXPECT_EQ(id, "");
  EXPECT_EQ(rate, 0);
  EXPECT_EQ(volume, 100);

  narro.ChangeVoice("Beta", 5, 50);  // a listed name: the voice only
  narro.GetVoice(id, rate, volume);
  EXPECT_EQ(id, "T\\b");  // the first of two equal names
  EXPECT_EQ(rate, 0);
  narro.ChangeVoice("beta", 5, 50);  // names compare exactly
  narro.GetVoice(id, rate, volume);
  EXPECT_EQ(id, "T\\b");
  EXPECT_EQ(rate, 5);
  EXPECT_EQ(volume, 50);
}

TEST_F(VoiceChoiceTest, InstalledEspeakVoicesAreListedAndTheirIdsRoundTrip) {
  const std::vector<VoiceEntry> voices = Voices();
  ASSERT_GT(voices.size(), 10u);
  bool english = false;
  for (const VoiceEntry& voice : voices) {
    EXPECT_EQ(voice.id.rfind("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\", 0), 0u);
    english = english || voice.name == "English (America)";
  }
  EXPECT_TRUE(english);
  for (const VoiceEntry& voice : {voices.front(), voices.back()}) {
    platform::ISpObjectToken* token = nullptr;
    ASSERT_EQ(platform::CreateSpObjectToken(&token), platform::S_OK);
    const std::wstring wide(voice.id.begin(), voice.id.end());
    EXPECT_EQ(token->SetId(nullptr, wide.c_str(), false), platform::S_OK);
    wchar_t* id = nullptr;
    ASSERT_EQ(token->GetId(&id), platform::S_OK);
    EXPECT_EQ(std::wstring(id), wide);
    platform::CoTaskMemFree(id);
    wchar_t* value = nullptr;
    EXPECT_EQ(token->GetStringValue(L"409", &value), platform::SPERR_NOT_FOUND);
    EXPECT_EQ(token->Release(), 0u);
  }
  platform::ISpObjectToken* token = nullptr;
  platform::CreateSpObjectToken(&token);
  EXPECT_EQ(token->SetId(nullptr, L"HKEY_LOCAL_MACHINE\\Nothing", false),
            platform::SPERR_NOT_FOUND);
  token->Release();
}

TEST_F(VoiceChoiceTest, VoiceListDoesNotChangeWhileTheEngineLives) {
  StartSpeaking();
  CSpeechTTS& engine = *MySingleton<CSpeechTTS>::GetSingletonPtr();
  const size_t installed = engine.Voices().size();
  EXPECT_GT(installed, 10u);
  UseTokens({Token(L"T\\a", {{L"", L"Alpha"}})});
  Facade().ChangeVoice("Alpha", 0, 100);  // not listed for this engine
  std::string id;
  long rate = 0;
  int volume = 0;
  Facade().GetVoice(id, rate, volume);
  EXPECT_EQ(id, "");
  EXPECT_EQ(engine.Voices().size(), installed);
}

}  // namespace
