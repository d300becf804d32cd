// SPDX-License-Identifier: GPL-3.0-or-later
// What the lists and the dialogs need from the library above them: its
// switches (the FLAG_ bits), its voice, its log and its folder chooser, as
// a host reaches them. The library's facade puts its own in place while it
// lives; a test may put in another. This layer and the ones above it up to
// the facade call this, never the facade itself, so that each links with
// only the layers below it.
#ifndef NARRO_TEXT_DIALOG_HOST_H_
#define NARRO_TEXT_DIALOG_HOST_H_

#include <cstdint>
#include <string>

class CDialogHost {
 public:
  // The host in place, or null when there is none (no library loaded):
  // nothing is then said and no switch is on.
  static CDialogHost* Current();

  // True when every one of the flags is set.
  virtual bool checkFlags(uint32_t flags) = 0;
  // Speaks through the library's voice, flags being the SPEAK_ values.
  virtual void Speak(const std::wstring& text, int flags) = 0;
  virtual void Speak(const std::string& text, int flags) = 0;
  // Says a folder's path, as the folder chooser reads paths.
  virtual void SpeakDir(const std::string& folder, int flags) = 0;
  virtual void ChangeVoice(const std::string& voice, int rate, int volume) = 0;
  // A line for the debug output.
  virtual void DebugLine(const std::string& line) = 0;
  // The folder chosen starting at `start`; empty when the player
  // cancelled.
  virtual std::string ChooseFolder(const std::string& start, const char* title) = 0;

 protected:
  ~CDialogHost() = default;
};

// Puts a host in place for a scope, and the one before it back at its end.
class CScopedDialogHost {
 public:
  explicit CScopedDialogHost(CDialogHost* host);
  ~CScopedDialogHost();
  CScopedDialogHost(const CScopedDialogHost&) = delete;
  CScopedDialogHost& operator=(const CScopedDialogHost&) = delete;

 private:
  CDialogHost* const m_previous;
};

// Whether the host in place has every one of the flags set; false with no
// host.
inline bool HostFlags(uint32_t flags) {
  CDialogHost* host = CDialogHost::Current();
  return host != nullptr && host->checkFlags(flags);
}

#endif  // NARRO_TEXT_DIALOG_HOST_H_
