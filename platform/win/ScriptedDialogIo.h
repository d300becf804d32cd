// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs driven by a key script (KeyScript.h) with no terminal: what
// NARRO_KEYS does, and what tests use. Each showing is laid out for a
// terminal of the given size and kept, so that tests can look at what a
// player would have seen.
#ifndef NARRO_PLATFORM_WIN_SCRIPTED_DIALOG_IO_H_
#define NARRO_PLATFORM_WIN_SCRIPTED_DIALOG_IO_H_

#include <string>

#include "platform/win/DialogIo.h"
#include "platform/win/DialogLayout.h"
#include "platform/win/KeyScript.h"

namespace platform {

class ScriptedDialogIo : public DialogIo {
 public:
  explicit ScriptedDialogIo(const std::wstring& script, int width = 80, int height = 24);

  bool Open() override;
  void Show(Dialog& dialog) override;
  bool NextKey(KeyEvent& key) override;
  void Close() override;

  const Frame& LastFrame() const { return m_frame; }
  int Showings() const { return m_showings; }
  int OpenDialogs() const { return m_open; }

 private:
  KeyScript m_script;
  int m_width;
  int m_height;
  Frame m_frame;
  int m_showings = 0;
  int m_open = 0;
  bool m_usedUp = false;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_SCRIPTED_DIALOG_IO_H_
