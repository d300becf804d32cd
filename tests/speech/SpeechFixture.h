// SPDX-License-Identifier: GPL-3.0-or-later
// Tests that hear what the library says: NARRO_SPEECH=wav:DIR makes the
// platform play every utterance into DIR/NNNNNN.wav and log each request in
// DIR/speech.log.
#ifndef NARRO_TESTS_SPEECH_SPEECH_FIXTURE_H_
#define NARRO_TESTS_SPEECH_SPEECH_FIXTURE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/LibraryFixture.h"

struct SpeakRequest {
  unsigned flags = 0;
  long rate = 0;
  int volume = 0;
  std::string voice;
  std::string text;
};

struct WavSummary {
  bool exists = false;
  size_t samples = 0;
  int peak = 0;  // largest absolute sample
  std::vector<int16_t> data;
  double seconds() const { return samples / 22050.0; }
  // The longest stretch of near silence, in seconds.
  double LongestQuiet() const;
  // Root mean square of the samples: how loud the speech is overall.
  double Rms() const;
};

class SpeechTest : public LibraryTest {
 protected:
  void SetUp() override;

  // Starts the library and speech with the default voice.
  void StartSpeaking(const std::string& voice = "", long rate = 0, int volume = 100);

  std::string SpeechDir() const { return DataFile("speech/"); }
  std::vector<SpeakRequest> Requests() const;
  // The WAV file of the request on line `line` (from 1) of speech.log.
  WavSummary Wav(size_t line) const;

  // espeak-ng is started once and kept for the life of the process, so what
  // happens at its start can only be seen in a process that has not started
  // it yet. In the test's own process this runs the current test again,
  // alone, in a new process of this binary, expects it to pass and returns
  // true: the caller then returns. In that new process it returns false and
  // the test goes on.
  bool RerunInFreshProcess();
};

WavSummary ReadWav(const std::string& path);

#endif  // NARRO_TESTS_SPEECH_SPEECH_FIXTURE_H_
