// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speech/SpeechFixture.h"

#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace {

// Set in the process that RerunInFreshProcess starts.
constexpr char kFreshProcessVariable[] = "NARRO_TEST_FRESH_PROCESS";

}  // namespace

void SpeechTest::SetUp() {
  LibraryTest::SetUp();
  mkdir(SpeechDir().c_str(), 0755);
  // The default voice follows the user's language: make it English.
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
  setenv("LANG", "C", 1);
  setenv("NARRO_SPEECH", ("wav:" + SpeechDir()).c_str(), 1);
}

void SpeechTest::StartSpeaking(const std::string& voice, long rate, int volume) {
  StartLibrary();
  ASSERT_TRUE(Facade().InitializeSAPI(voice, rate, volume));
}

std::vector<SpeakRequest> SpeechTest::Requests() const {
  std::vector<SpeakRequest> requests;
  for (const std::string& line : ReadLines(SpeechDir() + "speech.log")) {
    std::istringstream fields(line);
    SpeakRequest request;
    std::string flags, rate, volume;
    std::getline(fields, flags, '\t');
    std::getline(fields, rate, '\t');
    std::getline(fields, volume, '\t');
    std::getline(fields, request.voice, '\t');
    std::getline(fields, request.text);
    request.flags = static_cast<unsigned>(std::stoul(flags));
    request.rate = std::stol(rate);
    request.volume = std::stoi(volume);
    requests.push_back(request);
  }
  return requests;
}

WavSummary SpeechTest::Wav(size_t line) const {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu.wav", line);
  return ReadWav(SpeechDir() + name);
}

bool SpeechTest::RerunInFreshProcess() {
  if (std::getenv(kFreshProcessVariable) != nullptr) return false;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter =
      std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    ADD_FAILURE() << "cannot find this test binary";
    return true;
  }
  const std::string marker = std::string(kFreshProcessVariable) + "=1";
  std::vector<char*> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    environment.push_back(*variable);
  }
  environment.push_back(const_cast<char*>(marker.c_str()));
  environment.push_back(nullptr);
  char brief[] = "--gtest_brief=1";
  char* arguments[] = {self, const_cast<char*>(filter.c_str()), brief, nullptr};
  pid_t child = 0;
  const int error =
      posix_spawn(&child, self, nullptr, nullptr, arguments, environment.data());
  if (error != 0) {
    ADD_FAILURE() << "cannot start " << self << ": error " << error;
    return true;
  }
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << filter << " failed in a fresh process (wait status " << status << ")";
  return true;
}

WavSummary ReadWav(const std::string& path) {
  WavSummary summary;
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0) return summary;
  summary.exists = true;
  const size_t count = (bytes.size() - 44) / 2;
  summary.samples = count;
  for (size_t i = 0; i < count; ++i) {
    const auto lo = static_cast<unsigned char>(bytes[44 + 2 * i]);
    const auto hi = static_cast<unsigned char>(bytes[45 + 2 * i]);
    const int sample = static_cast<int16_t>(lo | (hi << 8));
    summary.data.push_back(static_cast<int16_t>(sample));
    summary.peak = std::max(summary.peak, std::abs(sample));
  }
  return summary;
}

double WavSummary::LongestQuiet() const {
  size_t longest = 0;
  size_t run = 0;
  for (const int16_t sample : data) {
    run = std::abs(static_cast<int>(sample)) < 300 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest / 22050.0;
}

double WavSummary::Rms() const {
  if (data.empty()) return 0.0;
  double sum = 0.0;
  for (const int16_t sample : data) sum += static_cast<double>(sample) * sample;
  return std::sqrt(sum / static_cast<double>(data.size()));
}
