// SPDX-License-Identifier: GPL-3.0-or-later
// What the window layer says (a message box's buttons, the folders of the
// folder chooser) goes through the speech engine while one of the
// library's dialogs is open.
#ifndef NARRO_DIALOGS_DIALOG_SPEECH_H_
#define NARRO_DIALOGS_DIALOG_SPEECH_H_

#include <memory>
#include <string>

#include "platform/win/Announcer.h"

// Speaks through the engine when there is one (InitializeSAPI made it);
// nothing otherwise. The narrow form reads the locale's multibyte text.
void SpeakThroughEngine(const std::wstring& text, int flags);
void SpeakThroughEngine(const std::string& text, int flags);

class CEngineAnnouncer : public platform::Announcer {
 public:
  // requiredFlags: the facade flags that must all be set for anything to
  // be said (0: always).
  explicit CEngineAnnouncer(uint32_t requiredFlags) : m_requiredFlags(requiredFlags) {}
  void Announce(const std::wstring& text, int flags) override;

 private:
  const uint32_t m_requiredFlags;
};

// Puts an engine announcer in place for the length of a scope.
class CSpokenDialogs {
 public:
  explicit CSpokenDialogs(uint32_t requiredFlags = 0)
      : m_announcer(requiredFlags), m_using(m_announcer) {}

 private:
  CEngineAnnouncer m_announcer;
  platform::ScopedAnnouncer m_using;
};

#endif  // NARRO_DIALOGS_DIALOG_SPEECH_H_
