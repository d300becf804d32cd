// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <clocale>
#include <thread>

#include "speech/SpeechTTS.h"
#include "tests/speech/SpeechFixture.h"

namespace {

class SpeakingTest : public SpeechTest {};

std::vector<std::string> Texts(const std::vector<SpeakRequest>& requests) {
  std::vector<std::string> texts;
  for (const SpeakRequest& request : requests) texts.push_back(request.text);
  return texts;
}

TEST_F(SpeakingTest, RepeatSpeaksThePrintedTextEvenAfterAClear) {
  StartSpeaking();
  Facade().AddToBuffer(CTTSString("West of House"));
  Facade().AddToBuffer(CTTSString("A mailbox."));
  Facade().ClearBuffer();
  Facade().Repeat();
  Facade().Speak("", 2);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].flags, 19u);
  EXPECT_EQ(requests[0].text, "West of House\\nA mailbox.\\n");
}

TEST_F(SpeakingTest, ParagraphLinesAreQueuedOneByOne) {
  StartSpeaking();
  Facade().SpeakParagraph(L"first line\n\nsecond line", 3);
  Facade().Speak(std::wstring(L"end"), 0);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(Texts(requests), (std::vector<std::string>{"first line", "second line", "end"}));
  EXPECT_EQ(requests[0].flags, 17u);
  EXPECT_EQ(requests[1].flags, 17u);
  EXPECT_GT(Wav(1).peak, 3000);  // queued, not cut off
  EXPECT_GT(Wav(2).peak, 3000);
}

TEST_F(SpeakingTest, FolderIsSpokenAsItsParts) {
  StartSpeaking();
  Facade().SpeakDir("/home/player/games/", 1);
  Facade().SpeakDir("games", 1);
  Facade().SpeakDir("", 2);
  EXPECT_EQ(Texts(Requests()),
            (std::vector<std::string>{
                "Current Directory is: home, player, games, ",
                "Current Directory is: games, ", "Current Directory is: "}));
}

TEST_F(SpeakingTest, SettingsOfEachRequestReachThePlatform) {
  StartSpeaking("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\gmw/en-GB-x-rp",
                5, 60);
  Facade().Speak("posh", 1);
  Facade().ChangeVoice("no such voice", -3, 30);
  Facade().Speak("slow", 1);
  Facade().ChangeVoice("German", 0, 100);  // changes the voice only
  Facade().Speak("Guten Tag", 2);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].voice, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\gmw/en-GB-x-rp");
  EXPECT_EQ(requests[0].rate, 5);
  EXPECT_EQ(requests[0].volume, 60);
  EXPECT_EQ(requests[1].rate, -3);
  EXPECT_EQ(requests[1].volume, 30);
  EXPECT_EQ(requests[2].voice, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\gmw/de");
  EXPECT_EQ(requests[2].rate, -3);
}

TEST_F(SpeakingTest, OutOfRangeSettingsAndUnknownVoicesFallBackSafely) {
  StartSpeaking("voice that names nothing", 1000, 5000);
  Facade().Speak("fast", 2);
  Facade().ChangeVoice("?", -1000, -1);
  Facade().Speak("slow", 2);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rate, 10);
  EXPECT_EQ(requests[0].volume, 100);
  EXPECT_EQ(requests[0].voice, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\gmw/en-US");
  EXPECT_EQ(requests[1].rate, -10);
  EXPECT_EQ(requests[1].volume, 100);  // -1: low 16 bits are 65535
  EXPECT_GT(Wav(1).peak, 1000);
  EXPECT_LT(Wav(1).seconds(), Wav(2).seconds());
}

TEST_F(SpeakingTest, OddTextsNeitherCrashNorHang) {
  StartSpeaking();
  Facade().Speak("", 1);
  Facade().Speak(std::wstring(L"before\0after", 12), 1);  // spoken up to the zero
  Facade().Speak(std::string("caf\xff\xfe!"), 1);        // bytes that do not decode
  std::string megabyte;
  while (megabyte.size() < (1u << 20)) megabyte += "word ";
  Facade().Speak(megabyte, 1);
  Facade().Speak("<unclosed & markup", 2);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[0].text, "");
  EXPECT_EQ(requests[1].text, "before");
  EXPECT_EQ(requests[2].text, "caf\xc3\xbf\xc3\xbe!");  // each byte its own code
  EXPECT_EQ(requests[3].text.size(), megabyte.size());
  EXPECT_EQ(requests[4].flags, 18u);
  EXPECT_GT(Wav(5).peak, 3000);
}

TEST_F(SpeakingTest, NarrowTextIsDecodedInTheLocalesEncoding) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  StartSpeaking();
  Facade().Speak("caf\xc3\xa9", 2);
  std::setlocale(LC_CTYPE, "C");
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].text, "caf\xc3\xa9");
}

TEST(FindAndReplaceTest, ReplacesEveryOccurrenceInOnePass) {
  std::wstring text = L"a-b-";
  EXPECT_EQ(CNarro::findandreplace(text, L"-", L"<br/>"), 2);
  EXPECT_EQ(text, L"a<br/>b<br/>");
  text = L"aaaa";
  EXPECT_EQ(CNarro::findandreplace(text, L"aa", L"b"), 2);
  EXPECT_EQ(text, L"bb");
  text = L"aa";
  EXPECT_EQ(CNarro::findandreplace(text, L"aa", L"aaa"), 1);
  EXPECT_EQ(text, L"aaa");
  text = L"abc";
  EXPECT_EQ(CNarro::findandreplace(text, L"x", L"y"), 0);
  EXPECT_EQ(CNarro::findandreplace(text, L"", L"y"), 0);
  EXPECT_EQ(text, L"abc");
  std::wstring empty;
  EXPECT_EQ(CNarro::findandreplace(empty, L"a", L"b"), 0);
  text = L"abab";
  EXPECT_EQ(CNarro::findandreplace(text, L"ab", L""), 2);
  EXPECT_EQ(text, L"");
}

}  // namespace
