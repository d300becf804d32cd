// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <thread>

#include "core/MyException.h"
#include "platform/sapi/ComRuntime.h"
#include "platform/sapi/espeak/Espeak.h"
#include "platform/win/MessageBox.h"
#include "speech/SpeechTTS.h"
#include "tests/speech/SpeechFixture.h"

namespace {

using namespace std::chrono_literals;

const wchar_t kParagraph[] =
    L"The lighthouse keeper climbed the spiral stairs every evening, counting "
    L"each of the two hundred steps, and lit the great lamp that warned the "
    L"fishing boats away from the rocks below the cliff.";

class SpeechEngineTest : public SpeechTest {
 protected:
  CSpeechTTS& Engine() { return *MySingleton<CSpeechTTS>::GetSingletonPtr(); }
};

TEST_F(SpeechEngineTest, SpeaksRealAudioOfAPlausibleLength) {
  StartSpeaking();
  Engine().SpeakToMe(L"hello world", 0);  // synchronous: heard when it returns
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].text, "hello world");
  const WavSummary wav = Wav(1);
  ASSERT_TRUE(wav.exists);
  EXPECT_GT(wav.peak, 3000);
  EXPECT_GT(wav.seconds(), 0.4);
  EXPECT_LT(wav.seconds(), 3.0);
  EXPECT_TRUE(LogHas("hello world"));  // each utterance is also logged
}

TEST_F(SpeechEngineTest, CallersFlagsReachThePlatformWithBit16Inverted) {
  StartSpeaking();
  for (const int flags : {1, 3, 16 | 1, 0}) Engine().SpeakToMe(L"a", flags);
  std::vector<unsigned> received;
  for (const SpeakRequest& request : Requests()) received.push_back(request.flags);
  EXPECT_EQ(received, (std::vector<unsigned>{17, 19, 1, 16}));
}

TEST_F(SpeechEngineTest, MarkupIsReadAloudUnlessTheCallerAsksForIt) {
  StartSpeaking();
  const wchar_t* text = L"<speak>go<break time=\"1500ms\"/>go</speak>";
  Engine().SpeakToMe(text, 0);   // plain: the tags are read out at once
  Engine().SpeakToMe(text, 16);  // starts with <: the platform takes markup
  const WavSummary literal = Wav(1);
  const WavSummary markup = Wav(2);
  EXPECT_GT(literal.peak, 3000);
  EXPECT_LT(literal.LongestQuiet(), 0.6);
  EXPECT_GT(markup.peak, 3000);
  EXPECT_GT(markup.LongestQuiet(), 1.2);  // the break
}

// Two recordings of the same words: about as long and as loud.
void ExpectSoundsAlike(const WavSummary& heard, const WavSummary& expected) {
  ASSERT_TRUE(heard.exists && expected.exists);
  EXPECT_NEAR(heard.seconds(), expected.seconds(), 0.1 * expected.seconds());
  EXPECT_NEAR(heard.Rms(), expected.Rms(), 0.15 * expected.Rms());
}

TEST_F(SpeechEngineTest, ControlCharactersAreSpokenAsBlanks) {
  StartSpeaking();
  // \x01 starts one of espeak-ng's own commands: "2A" would make it whisper.
  Engine().SpeakToMe(L"one 2A two", 0);
  Engine().SpeakToMe(L"one\x01" L"2A two", 0);
  Engine().SpeakToMe(L"<speak>one 2A two</speak>", 16);
  Engine().SpeakToMe(L"<speak>one\x01" L"2A two</speak>", 16);
  // Other controls, and codes that are no characters at all.
  Engine().SpeakToMe(L"one\x1b[0m\x7f\x85\x9b\xd800\x110000 two", 0);
  Engine().SpeakToMe(L"one 2A two", 0);
  ASSERT_EQ(Requests().size(), 6u);
  ExpectSoundsAlike(Wav(2), Wav(1));
  ExpectSoundsAlike(Wav(4), Wav(3));
  EXPECT_GT(Wav(5).peak, 3000);
  ExpectSoundsAlike(Wav(6), Wav(1));  // nothing left behind for later
}

TEST_F(SpeechEngineTest, TabsAndLineEndsStillReachTheEngine) {
  StartSpeaking();
  // A line end ends a clause: espeak-ng pauses there, a blank would not.
  Engine().SpeakToMe(L"one two", 0);
  Engine().SpeakToMe(L"one.\n\ntwo", 0);
  Engine().SpeakToMe(L"one\ttwo", 0);
  EXPECT_GT(Wav(2).seconds(), Wav(1).seconds());
  EXPECT_GT(Wav(3).peak, 3000);
}

TEST_F(SpeechEngineTest, UnclosedProsodyDoesNotCarryOverToTheNextUtterance) {
  StartSpeaking();
  Engine().SpeakToMe(L"two words", 0);
  Engine().SpeakToMe(L"<speak><prosody rate=\"x-slow\" volume=\"x-soft\">go", 16);
  Engine().SpeakToMe(L"two words", 0);
  Engine().SpeakToMe(L"<speak><prosody rate=\"x-fast\" volume=\"x-loud\">go</prosody>", 16);
  Engine().SpeakToMe(L"two words", 0);
  ExpectSoundsAlike(Wav(3), Wav(1));
  ExpectSoundsAlike(Wav(5), Wav(1));
}

TEST_F(SpeechEngineTest, EachStepOfTheFastRatesIsHeard) {
  StartSpeaking();
  for (const int32_t rate : {7, 8, 9, 10}) {
    Engine().SetRate(rate);
    Engine().SpeakToMe(L"the lamp warned the boats", 0);
  }
  EXPECT_GT(Wav(1).samples, Wav(2).samples);
  EXPECT_GT(Wav(2).samples, Wav(3).samples);
  EXPECT_GT(Wav(3).samples, Wav(4).samples);
}

TEST_F(SpeechEngineTest, PurgeCutsALongUtteranceShort) {
  StartSpeaking();
  size_t fullSamples = 0;
  platform::SynthesisRequest whole;
  whole.text = kParagraph;
  ASSERT_TRUE(platform::Espeak::Synthesize(whole, [&](const int16_t*, int count) {
    fullSamples += static_cast<size_t>(count);
    return true;
  }));
  Engine().SpeakToMe(kParagraph, 1);
  std::this_thread::sleep_for(400ms);
  Engine().SpeakToMe(L"stop", 2);  // purge, then speak and wait
  const WavSummary cut = Wav(1);
  EXPECT_GT(cut.samples, 0u);
  EXPECT_LT(cut.samples, fullSamples / 4);
  EXPECT_GT(Wav(2).peak, 3000);
}

TEST_F(SpeechEngineTest, QueuedUtterancesPlayInOrderAndSilenceDropsThem) {
  StartSpeaking();
  Engine().SpeakToMe(L"one", 1);
  Engine().SpeakToMe(L"two", 1);
  Engine().SpeakToMe(L"three", 1);
  CSpeechTTS::StopSpeaking();  // nothing but a purge
  Engine().SpeakToMe(L"four", 0);
  const std::vector<SpeakRequest> requests = Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[3].flags, 2u);
  EXPECT_EQ(requests[3].text, "");
  EXPECT_FALSE(Wav(4).exists);  // a purge says nothing
  EXPECT_GT(Wav(5).peak, 3000);
  EXPECT_LT(Wav(3).samples, 22050u / 2);  // dropped before or while playing
}

TEST_F(SpeechEngineTest, SpeakingBeforeInitAndAfterReleaseIsSilent) {
  StartLibrary();
  CSpeechTTS engine;
  EXPECT_EQ(engine.SpeakToMe(L"too early", 0), 0);
  CSpeechTTS::StopSpeaking();  // no voice: nothing happens
  engine.InitSAPI();
  ASSERT_TRUE(engine.Initialized());
  CSpeechTTS::ReleaseSAPI();
  EXPECT_EQ(engine.SpeakToMe(L"too late", 0), 0);
  EXPECT_TRUE(Requests().size() == 1u && Requests()[0].flags == 2u);  // the release's purge
  EXPECT_FALSE(LogHas("too late"));
}

TEST_F(SpeechEngineTest, ReleaseDropsEveryReferenceOnceAndClosesComOnce) {
  StartSpeaking();
  platform::ISpVoice* voice = CSpeechTTS::PlatformVoice();
  voice->AddRef();
  voice->AddRef();
  const int comBefore = platform::ComInitializeCount();
  ClearLog();
  CSpeechTTS::ReleaseSAPI();
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Releasing SAPI", "Releasing REF 4", "Next REF 3",
                            "Next REF 2", "Next REF 1", "Next REF 0",
                            "About to close COM", "Closed COM"}));
  EXPECT_EQ(CSpeechTTS::PlatformVoice(), nullptr);
  EXPECT_EQ(platform::ComInitializeCount(), comBefore - 1);
  ClearLog();
  CSpeechTTS::ReleaseSAPI();
  Facade().release();
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Releasing CNarro"});
  EXPECT_EQ(platform::ComInitializeCount(), comBefore - 1);
}

// A box that remembers what it showed and answers OK.
class RecordingBoxes : public platform::MessageBoxes {
 public:
  int Show(void*, const std::string& text, const std::string& caption, unsigned) override {
    shown = caption + ": " + text;
    return platform::IDOK;
  }
  std::string shown;
};

TEST_F(SpeechEngineTest, NoVoiceShowsTheBoxAndLeavesTheEngineSilent) {
  setenv("NARRO_SPEECH", "none", 1);
  RecordingBoxes boxes;
  {
    platform::ScopedMessageBoxes replaced(boxes);
    StartLibrary();
    EXPECT_FALSE(Facade().InitializeSAPI("", 0, 100));
  }
  EXPECT_EQ(boxes.shown, "getDefaultVoice: Text to speech failed to initialize");
  EXPECT_EQ(CSpeechTTS::PlatformVoice(), nullptr);
  EXPECT_TRUE(MySingleton<CSpeechTTS>::GetSingletonPtr()->Voices().empty());
  Facade().Speak("nothing", 0);
  EXPECT_FALSE(Facade().InitializeSAPI("", 0, 100));  // refused: the engine exists
}

// wav:DIR with DIR missing: it is made, and the speech is there.
TEST_F(SpeechEngineTest, AMissingWavFolderIsMade) {
  const std::string folder = DataFile("not/yet/there/");
  setenv("NARRO_SPEECH", ("wav:" + folder).c_str(), 1);
  StartLibrary();
  ASSERT_TRUE(Facade().InitializeSAPI("", 0, 100));
  Engine().SpeakToMe(L"hello", 0);
  EXPECT_TRUE(FileExists(folder + "000001.wav"));
}

// A folder that cannot be made (a file stands in its way) is no voice,
// said as such, rather than a silence that looks like speech.
TEST_F(SpeechEngineTest, AWavFolderThatCannotBeMadeIsNoVoice) {
  WriteFile(DataFile("a-file"), "not a folder");
  setenv("NARRO_SPEECH", ("wav:" + DataFile("a-file/speech/")).c_str(), 1);
  RecordingBoxes boxes;
  platform::ScopedMessageBoxes replaced(boxes);
  StartLibrary();
  EXPECT_FALSE(Facade().InitializeSAPI("", 0, 100));
  EXPECT_EQ(boxes.shown, "getDefaultVoice: Text to speech failed to initialize");
}

TEST_F(SpeechEngineTest, MissingVoiceDataFailsInitialisationWithoutEndingTheProcess) {
  // espeak-ng reads its data folder once, when the process first starts it.
  if (RerunInFreshProcess()) return;
  setenv("ESPEAK_DATA_PATH", DataDir().c_str(), 1);  // a folder with no voice data
  RecordingBoxes boxes;
  platform::ScopedMessageBoxes replaced(boxes);
  StartLibrary();
  EXPECT_FALSE(Facade().InitializeSAPI("", 0, 100));
  unsetenv("ESPEAK_DATA_PATH");
  Facade().Speak("still here", 2);  // silent, and the process goes on
  EXPECT_EQ(CSpeechTTS::PlatformVoice(), nullptr);
}

TEST_F(SpeechEngineTest, StartingSpeechLeavesTheHostsLocaleAlone) {
  // Only the first start of espeak-ng touches the locale.
  if (RerunInFreshProcess()) return;
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C.UTF-8"), nullptr);  // categories differ
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const std::string ctypeBefore = std::setlocale(LC_CTYPE, nullptr);
  StartSpeaking();
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
  EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), ctypeBefore);
  Engine().SpeakToMe(L"caf\u00e9", 0);  // and espeak-ng still speaks
  EXPECT_GT(Wav(1).peak, 3000);
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
  std::setlocale(LC_ALL, "C");
}

class ThrowingVoice : public platform::ISpVoice {
 public:
  platform::ULONG AddRef() override { return 2; }
  platform::ULONG Release() override { return 0; }
  platform::HRESULT Speak(const wchar_t*, uint32_t, platform::ULONG*) override {
    throw std::runtime_error("device gone");
  }
  platform::HRESULT SetVoice(platform::ISpObjectToken*) override { return 0; }
  platform::HRESULT SetRate(long) override { return 0; }
  platform::HRESULT SetVolume(uint16_t) override { return 0; }
};

TEST_F(SpeechEngineTest, PlatformFailureWhileSpeakingBecomesOurExceptionAndIsLogged) {
  StartSpeaking();
  platform::ISpVoice* real = CSpeechTTS::PlatformVoice();
  ThrowingVoice throwing;
  CSpeechTTS::ReplacePlatformVoice(&throwing);
  try {
    Engine().SpeakToMe(L"x", 1);
    ADD_FAILURE() << "no exception";
  } catch (const CMyException& e) {
    const std::string report = e.what();
    EXPECT_NE(report.find("Function: CSpeechTTS::SpeakToMe\nDescription: "
                          "Exception trying to speak.. \nFile: SpeechTTS\nLine: 220"),
              std::string::npos);
  }
  ClearLog();
  Facade().Speak("y", 1);  // the facade's guard logs it and returns
  const std::vector<std::string> lines = LogLines();
  EXPECT_FALSE(lines.empty());
  EXPECT_NE(ReadFile(DataFile("narro.log")).find("Exception trying to speak."),
            std::string::npos);
  CSpeechTTS::ReplacePlatformVoice(real);
}

}  // namespace

// A flood faster than speech keeps what waits bounded: the oldest goes and
// the log says how many; the newest is still there to be heard.
TEST_F(SpeechEngineTest, AFloodFasterThanSpeechLosesItsOldestAndSaysSo) {
  StartSpeaking();
  const std::wstring page(10000, L'a');
  for (int i = 0; i < 60; ++i) Engine().SpeakToMe(page + std::to_wstring(i), 1);
  bool told = false;
  for (const std::string& line : LogLines()) {
    told = told || (line.rfind("Speech: ", 0) == 0 && line.find(" utterances were dropped: too much was waiting") != std::string::npos);
  }
  EXPECT_TRUE(told);
  CSpeechTTS::StopSpeaking();
  Engine().SpeakToMe(L"after the flood", 0);  // synchronous: the queue still serves
  EXPECT_TRUE(LogHas("after the flood"));
}
