// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "platform/sapi/espeak/Espeak.h"
#include "platform/sapi/espeak/LeadingSilence.h"
#include "platform/sapi/VoiceTokens.h"
#include "tests/speech/SpeechFixture.h"

namespace {

using platform::LeadingSilence;
using Samples = std::vector<int16_t>;

constexpr int kRate = 22050;
constexpr size_t kLead = kRate * LeadingSilence::kLeadMilliseconds / 1000;
constexpr size_t kThreeMs = kRate * 3 / 1000;

bool IsSound(int16_t sample) {
  return std::abs(static_cast<int>(sample)) > LeadingSilence::kThreshold;
}

// Passes a signal through in chunks of the given sizes, the last size
// repeating, and gathers what comes out.
Samples PassInChunks(LeadingSilence& trim, const Samples& signal,
                     const std::vector<size_t>& sizes) {
  Samples out;
  size_t at = 0;
  for (size_t i = 0; at < signal.size(); ++i) {
    const size_t size = std::min(sizes[std::min(i, sizes.size() - 1)], signal.size() - at);
    for (const LeadingSilence::Span& span : trim.Pass(signal.data() + at, size)) {
      out.insert(out.end(), span.samples, span.samples + span.count);
    }
    at += size;
  }
  return out;
}

// `silence` samples of quiet noise below the threshold, then a sound.
Samples QuietThenSound(size_t silence) {
  Samples signal;
  for (size_t i = 0; i < silence; ++i) {
    signal.push_back(static_cast<int16_t>(i % 2 ? LeadingSilence::kThreshold : -7));
  }
  for (int i = 0; i < 300; ++i) signal.push_back(static_cast<int16_t>(i % 3 == 0 ? 40 : -2000));
  for (int i = 0; i < 100; ++i) signal.push_back(0);  // a pause within: kept
  signal.push_back(500);
  return signal;
}

Samples From(const Samples& signal, size_t first) {
  return Samples(signal.begin() + static_cast<std::ptrdiff_t>(first), signal.end());
}

TEST(LeadingSilenceTest, KeepsTwoMillisecondsBeforeTheFirstSoundAndAllAfter) {
  LeadingSilence trim(kRate);
  const Samples signal = QuietThenSound(1000);
  EXPECT_EQ(PassInChunks(trim, signal, {signal.size()}), From(signal, 1000 - kLead));
  EXPECT_TRUE(trim.Sounding());
}

TEST(LeadingSilenceTest, TheKeptLeadMayComeFromEarlierChunks) {
  for (const size_t silence : {0u, 1u, 10u, 43u, 44u, 45u, 100u, 221u}) {
    const Samples signal = QuietThenSound(silence);
    const Samples expected = From(signal, silence > kLead ? silence - kLead : 0);
    for (const std::vector<size_t>& sizes :
         std::vector<std::vector<size_t>>{{1}, {7}, {20, 1}, {30}, {44}, {220}, {3, 50, 2}}) {
      LeadingSilence trim(kRate);
      EXPECT_EQ(PassInChunks(trim, signal, sizes), expected)
          << silence << " silent samples, first chunk of " << sizes[0];
    }
  }
}

TEST(LeadingSilenceTest, AnySplitGivesTheSignalFromJustBeforeItsFirstSound) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 200; ++round) {
    const size_t silence = random() % 2000;
    const Samples signal = QuietThenSound(silence);
    std::vector<size_t> sizes;
    for (int i = 0; i < 64; ++i) sizes.push_back(1 + random() % 300);
    LeadingSilence trim(kRate);
    const Samples out = PassInChunks(trim, signal, sizes);
    EXPECT_EQ(out, From(signal, silence > kLead ? silence - kLead : 0)) << "round " << round;
  }
}

TEST(LeadingSilenceTest, SilenceAloneGivesNothingAndResetStartsAgain) {
  LeadingSilence trim(kRate);
  const Samples quiet(5000, static_cast<int16_t>(-LeadingSilence::kThreshold));
  EXPECT_TRUE(PassInChunks(trim, quiet, {441}).empty());
  EXPECT_FALSE(trim.Sounding());
  EXPECT_TRUE(PassInChunks(trim, {}, {1}).empty());
  const LeadingSilence::Spans none = trim.Pass(nullptr, 0);
  EXPECT_EQ(none[0].count + none[1].count, 0u);

  // The sound comes: the last 2 ms of the silence before it come first.
  const Samples loud = QuietThenSound(0);
  Samples expected(kLead, static_cast<int16_t>(-LeadingSilence::kThreshold));
  expected.insert(expected.end(), loud.begin(), loud.end());
  EXPECT_EQ(PassInChunks(trim, loud, {50}), expected);
  EXPECT_TRUE(trim.Sounding());
  EXPECT_EQ(PassInChunks(trim, quiet, {441}), quiet);  // silence after sound is kept

  trim.Reset();  // a new utterance, or a purge
  EXPECT_FALSE(trim.Sounding());
  EXPECT_TRUE(PassInChunks(trim, quiet, {441}).empty());
  const Samples next = QuietThenSound(300);
  EXPECT_EQ(PassInChunks(trim, next, {100}), From(next, 300 - kLead));
}

TEST(LeadingSilenceTest, ThresholdIsOnMagnitude) {
  LeadingSilence trim(kRate);
  const Samples negative = {0, 0, static_cast<int16_t>(-LeadingSilence::kThreshold - 1), 0};
  EXPECT_EQ(PassInChunks(trim, negative, {4}), negative);
  trim.Reset();
  const Samples extreme = {-32768};
  EXPECT_EQ(PassInChunks(trim, extreme, {1}), extreme);
  trim.Reset();
  const Samples atThreshold = {LeadingSilence::kThreshold, -LeadingSilence::kThreshold};
  EXPECT_TRUE(PassInChunks(trim, atThreshold, {2}).empty());
}

// Real speech: the voice's WAV files against espeak-ng's own samples for
// the same text and settings.
class LeadingSilenceSpeechTest : public SpeechTest {
 protected:
  // What espeak-ng's next synthesis of the text will make, untrimmed, with
  // the default voice. Its output depends on more than the text and the
  // settings: it draws on rand() and keeps the place in its pitch flutter
  // from one utterance to the next, so two syntheses of one word in this
  // process differ. A child process made now starts from a copy of this
  // state: what it synthesises is what the voice here synthesises next.
  // Called while the voice is idle.
  Samples MadeNext(const wchar_t* text, int volume = 100) {
    const std::string path = DataFile("made.raw");
    std::remove(path.c_str());
    const pid_t child = fork();
    if (child == 0) {
      platform::SynthesisRequest request;
      request.text = text;
      request.voiceIdentifier = platform::DefaultVoiceToken().engineVoice;
      request.wordsPerMinute = platform::Espeak::WordsPerMinute(0);
      request.volume = volume;
      Samples samples;
      const bool made =
          platform::Espeak::Synthesize(request, [&](const int16_t* chunk, int count) {
            samples.insert(samples.end(), chunk, chunk + count);
            return true;
          });
      std::FILE* file = std::fopen(path.c_str(), "wb");
      const bool written =
          file && std::fwrite(samples.data(), sizeof(int16_t), samples.size(), file) ==
                      samples.size();
      if (file) std::fclose(file);
      _exit(made && written ? 0 : 1);
    }
    EXPECT_GT(child, 0);
    if (child <= 0) return {};
    int status = 0;
    for (int tries = 0; tries < 300 && waitpid(child, &status, WNOHANG) == 0; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (waitpid(child, &status, WNOHANG) == 0) {  // a hang fails, never blocks
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    const std::string bytes = ReadFile(path);
    Samples samples(bytes.size() / sizeof(int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
  }

  // The WAV starts with sound, and from there on it is what espeak-ng made,
  // sample for sample; what was left out was silence. Returns how many
  // samples were left out.
  size_t ExpectTrimmedFrom(const WavSummary& wav, const Samples& made) {
    EXPECT_TRUE(wav.exists);
    EXPECT_GT(wav.samples, 0u);
    if (!wav.exists || wav.samples == 0 || wav.samples > made.size()) {
      ADD_FAILURE() << wav.samples << " samples played, " << made.size() << " made";
      return 0;
    }
    const auto firstSound = std::find_if(wav.data.begin(), wav.data.end(), IsSound);
    EXPECT_LT(static_cast<size_t>(firstSound - wav.data.begin()), kThreeMs);
    const size_t cut = made.size() - wav.samples;
    EXPECT_TRUE(std::none_of(made.begin(), made.begin() + static_cast<std::ptrdiff_t>(cut),
                             IsSound));
    EXPECT_TRUE(std::equal(wav.data.begin(), wav.data.end(),
                           made.begin() + static_cast<std::ptrdiff_t>(cut)));
    return cut;
  }
};

TEST_F(LeadingSilenceSpeechTest, EachWordStartsWithItsOwnFirstSound) {
  StartSpeaking();
  // A stop: some 50 ms of silence first.
  const Samples take = MadeNext(L"take");
  Facade().Speak(std::wstring(L"take"), 0);
  // A quiet fricative after some 12 ms of silence.
  const Samples fish = MadeNext(L"fish");
  Facade().Speak(std::wstring(L"fish"), 0);
  // Sound from the first sample: nothing to leave out.
  const Samples north = MadeNext(L"north");
  Facade().Speak(std::wstring(L"north"), 0);
  ASSERT_EQ(Requests().size(), 3u);
  EXPECT_GT(ExpectTrimmedFrom(Wav(1), take), static_cast<size_t>(kRate * 40 / 1000));
  EXPECT_GT(ExpectTrimmedFrom(Wav(2), fish), static_cast<size_t>(kRate * 5 / 1000));
  EXPECT_EQ(ExpectTrimmedFrom(Wav(3), north), 0u);
}

TEST_F(LeadingSilenceSpeechTest, QuietOnsetAtLowVolumeIsKeptWhole) {
  StartSpeaking("", 0, 10);
  const Samples made = MadeNext(L"fish", 10);
  Facade().Speak(std::wstring(L"fish"), 0);
  const WavSummary wav = Wav(1);
  EXPECT_GT(ExpectTrimmedFrom(wav, made), 0u);
  // The "f" stays under 1% of full scale for tens of milliseconds, and all
  // of it is heard.
  const auto louder = std::find_if(wav.data.begin(), wav.data.end(), [](int16_t sample) {
    return std::abs(static_cast<int>(sample)) > 32767 / 100;
  });
  EXPECT_GT(louder - wav.data.begin(), kRate * 20 / 1000);
}

TEST_F(LeadingSilenceSpeechTest, EchoedWordStartsWithItsFirstSound) {
  StartSpeaking();
  const Samples made = MadeNext(L"take");
  EXPECT_EQ(Facade().MonitorInput("take "), 4);
  Facade().Speak(std::wstring(L"end"), 0);  // queued behind: the echo plays out
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_EQ(Requests()[0].text, "take");
  EXPECT_GT(ExpectTrimmedFrom(Wav(1), made), 0u);
}

TEST_F(LeadingSilenceSpeechTest, UtteranceOfOnlySilenceNeitherHangsNorPlays) {
  StartSpeaking();
  // The one spoken asynchronously comes first: the synchronous ones after
  // it wait for it too, so that the voice is idle when MadeNext forks.
  Facade().Speak(std::wstring(L"? -"), 1);
  Facade().Speak(std::wstring(L"..."), 0);
  Facade().Speak(std::wstring(L"   "), 0);
  Facade().Speak(std::wstring(L"? -"), 0);
  const Samples made = MadeNext(L"take");
  Facade().Speak(std::wstring(L"take"), 0);
  ASSERT_EQ(Requests().size(), 5u);
  for (size_t line = 1; line <= 4; ++line) {
    EXPECT_TRUE(Wav(line).exists) << line;
    EXPECT_EQ(Wav(line).samples, 0u) << line;
  }
  ExpectTrimmedFrom(Wav(5), made);
}

TEST_F(LeadingSilenceSpeechTest, PurgeInTheMiddleStartsTheNextWithItsFirstSound) {
  StartSpeaking();
  // Only how long the silence before "take" is: the synthesis below starts
  // from another state.
  const Samples take = MadeNext(L"take");
  const auto takeSound = std::find_if(take.begin(), take.end(), IsSound) - take.begin();
  ASSERT_GT(takeSound, kRate * 40 / 1000);
  Facade().Speak(std::wstring(L"take the lamp and go north"), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  Facade().Speak(std::wstring(L"take"), 2);  // cut off, then speak and wait
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_GT(Wav(1).peak, 3000);  // the first was sounding when it was cut off
  EXPECT_LT(Wav(1).seconds(), 1.0);
  const WavSummary next = Wav(2);
  ASSERT_GT(next.samples, 0u);
  EXPECT_GT(next.peak, 3000);
  const auto nextSound = std::find_if(next.data.begin(), next.data.end(), IsSound);
  EXPECT_LT(static_cast<size_t>(nextSound - next.data.begin()), kThreeMs);
}

}  // namespace
