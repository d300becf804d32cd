// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs driven by a key script and heard through real speech (what is
// spoken is read back from speech.log).
#ifndef NARRO_TESTS_DIALOGS_DIALOG_TEST_SUPPORT_H_
#define NARRO_TESTS_DIALOGS_DIALOG_TEST_SUPPORT_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/win/ScriptedDialogIo.h"
#include "tests/speech/SpeechFixture.h"

class DialogTest : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    StartSpeaking();
  }
  void TearDown() override {
    m_using.reset();
    SpeechTest::TearDown();
  }
  // Every dialog from now on takes its keys from this script.
  void Keys(const std::wstring& script) {
    m_using.reset();
    m_io = std::make_unique<platform::ScriptedDialogIo>(script);
    m_using = std::make_unique<platform::ScopedDialogIo>(*m_io);
  }
  // "flags text" of each speak request since the last Forget().
  std::vector<std::string> Spoken() {
    std::vector<std::string> texts;
    const std::vector<SpeakRequest> requests = Requests();
    for (size_t i = m_forgotten; i < requests.size(); ++i) {
      texts.push_back(std::to_string(requests[i].flags) + " " + requests[i].text);
    }
    return texts;
  }
  void Forget() { m_forgotten = Requests().size(); }

  std::unique_ptr<platform::ScriptedDialogIo> m_io;
  std::unique_ptr<platform::ScopedDialogIo> m_using;
  size_t m_forgotten = 0;
};

#endif  // NARRO_TESTS_DIALOGS_DIALOG_TEST_SUPPORT_H_
