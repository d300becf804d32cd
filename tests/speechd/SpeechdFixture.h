// SPDX-License-Identifier: GPL-3.0-or-later
// Tests against a real speech-dispatcher of the test's own, its SSIP
// traffic watched on the way (see PrivateSpeechDispatcher.h, SsipWatch.h).
// NARRO_SPEECH is "speechd" unless a test says otherwise.
#ifndef NARRO_TESTS_SPEECHD_SPEECHD_FIXTURE_H_
#define NARRO_TESTS_SPEECHD_SPEECHD_FIXTURE_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/sapi/Sapi.h"
#include "tests/speechd/PrivateSpeechDispatcher.h"
#include "tests/speechd/SsipWatch.h"
#include "tests/support/LibraryFixture.h"

class SpeechdTest : public LibraryTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A voice through the private server; the test releases it.
  platform::ISpVoice* MakeVoice();
  // Text that takes speech-dispatcher well over a second to synthesise.
  static std::wstring LongText();
  // How many log lines contain part.
  size_t LogCount(const std::string& part) const;

  std::unique_ptr<PrivateSpeechDispatcher> m_server;
  std::vector<std::pair<std::string, std::string>> m_savedEnvironment;
  std::unique_ptr<SsipWatch> m_watch;
};

#endif  // NARRO_TESTS_SPEECHD_SPEECHD_FIXTURE_H_
