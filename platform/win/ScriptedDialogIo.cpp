// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/ScriptedDialogIo.h"

namespace platform {

ScriptedDialogIo::ScriptedDialogIo(const std::wstring& script, int width, int height)
    : m_script(script), m_width(width), m_height(height) {}

bool ScriptedDialogIo::Open() {
  ++m_open;
  return true;
}

void ScriptedDialogIo::Show(Dialog& dialog) {
  m_frame = LayOut(dialog, m_width, m_height);
  ++m_showings;
}

bool ScriptedDialogIo::NextKey(KeyEvent& key) {
  // Once used up it stays so, even if asked again.
  if (m_usedUp || !m_script.Next(key)) {
    m_usedUp = true;
    return false;
  }
  return true;
}

void ScriptedDialogIo::Close() {
  if (m_open > 0) --m_open;
}

}  // namespace platform
