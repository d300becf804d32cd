// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/sapi/BackEndFactory.h"
#include "platform/sapi/SpeechEnd.h"
#include "platform/sapi/espeak/AudioEnd.h"
#include "tests/speech/SpeechFixture.h"
#include "tests/support/TempDir.h"

namespace {

using platform::AudioEndChoice;

TEST(AudioEndChoiceTest, NarroSpeechPicksTheEnd) {
  unsetenv("NARRO_SPEECH");
  EXPECT_EQ(platform::ChooseAudioEnd().kind, AudioEndChoice::kAutomatic);
  setenv("NARRO_SPEECH", "audio", 1);
  EXPECT_EQ(platform::ChooseAudioEnd().kind, AudioEndChoice::kSoundCard);
  setenv("NARRO_SPEECH", "none", 1);
  EXPECT_EQ(platform::ChooseAudioEnd().kind, AudioEndChoice::kNone);
  setenv("NARRO_SPEECH", "wav:/tmp/out", 1);
  const AudioEndChoice wav = platform::ChooseAudioEnd();
  EXPECT_EQ(wav.kind, AudioEndChoice::kWavFiles);
  EXPECT_EQ(wav.directory, "/tmp/out/");
  unsetenv("NARRO_SPEECH");
}

// A setting it does not know is no reason to be silent: speech goes where
// it would with none.
TEST(AudioEndChoiceTest, AnUnknownSettingReadsAsUnset) {
  for (const char* setting : {"espeak", "SPEECHD", "wav:", "audio "}) {
    setenv("NARRO_SPEECH", setting, 1);
    EXPECT_EQ(platform::ChooseAudioEnd().kind, AudioEndChoice::kAutomatic) << setting;
  }
  unsetenv("NARRO_SPEECH");
}

TEST(SpeechBackEndFactoryTest, NoneOffersNoBackEnd) {
  setenv("NARRO_SPEECH", "none", 1);
  int offered = 0;
  EXPECT_EQ(platform::MakeVoiceBackEnd([&](std::unique_ptr<platform::VoiceBackEnd>) {
              ++offered;
              return true;
            }),
            platform::REGDB_E_CLASSNOTREG);
  EXPECT_EQ(offered, 0);
  unsetenv("NARRO_SPEECH");
}

// A back end the voice cannot start over fails the voice; no other end is
// tried in its place.
TEST(SpeechBackEndFactoryTest, ABackEndThatCannotStartFailsTheVoice) {
  TempDir dir;
  setenv("NARRO_SPEECH", ("wav:" + dir.path()).c_str(), 1);
  int offered = 0;
  EXPECT_EQ(platform::MakeVoiceBackEnd([&](std::unique_ptr<platform::VoiceBackEnd> end) {
              EXPECT_NE(end, nullptr);
              ++offered;
              return false;
            }),
            platform::E_FAIL);
  EXPECT_EQ(offered, 1);
  unsetenv("NARRO_SPEECH");
}

TEST(WavFileEndTest, FilesHoldWhatWasPlayedNotWhatWasWritten) {
  TempDir dir;
  auto end = platform::MakeWavFileEnd(dir.path());
  ASSERT_TRUE(end->Open(22050));
  const std::vector<int16_t> second(22050, 1000);
  end->BeginUtterance(1);
  end->Write(second.data(), second.size());  // waits while the device fills
  end->Flush();
  end->EndUtterance();
  end->BeginUtterance(2);
  end->Write(second.data(), 2205);
  end->Drain();
  end->EndUtterance();
  end->BeginUtterance(0);  // no number: played, but into no file
  end->Write(second.data(), 100);
  end->Drain();
  end.reset();
  const WavSummary flushed = ReadWav(dir.File("000001.wav"));
  const WavSummary drained = ReadWav(dir.File("000002.wav"));
  EXPECT_GT(flushed.samples, 22050u / 2);
  EXPECT_LT(flushed.samples, 22050u);
  EXPECT_EQ(drained.samples, 2205u);
  EXPECT_EQ(drained.peak, 1000);
  // The header tells the same length as the data.
  const std::string bytes = ReadFile(dir.File("000002.wav"));
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(static_cast<unsigned char>(bytes[40]) | static_cast<unsigned char>(bytes[41]) << 8,
            2205 * 2);
}

TEST(SoundCardEndTest, MachineWithoutACardFailsQuietly) {
  auto end = platform::MakeSoundCardEnd();
  testing::internal::CaptureStderr();
  const bool opened = end->Open(22050);
  end.reset();
  const std::string noise = testing::internal::GetCapturedStderr();
  if (opened) GTEST_SKIP() << "this machine has a sound card";
  EXPECT_EQ(noise, "");
}

}  // namespace
