// SPDX-License-Identifier: GPL-3.0-or-later
// The real DialogIo: the key script of NARRO_KEYS when it is set, the
// terminal otherwise. The choice is made as the outermost dialog opens and
// holds for the dialogs over it. The script goes on from one dialog to the
// next; a new value of NARRO_KEYS starts a new script.
#include <memory>
#include <string>

#include "platform/environment/Environment.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/DialogIo.h"
#include "platform/win/ScriptedDialogIo.h"
#include "platform/win/TerminalDialogIo.h"

namespace platform {

namespace {

class RealDialogIo : public DialogIo {
 public:
  bool Open() override {
    if (m_depth == 0) {
      const std::string script = GetEnvironmentVariable("NARRO_KEYS");
      if (script.empty()) {
        m_inUse = &TerminalDialogIo();
      } else {
        if (!m_script || script != m_scriptText) {
          m_script = std::make_unique<ScriptedDialogIo>(WideFromUtf8(script));
          m_scriptText = script;
        }
        m_inUse = m_script.get();
      }
    }
    if (!m_inUse->Open()) {
      if (m_depth == 0) m_inUse = nullptr;
      return false;
    }
    ++m_depth;
    return true;
  }
  void Show(Dialog& dialog) override {
    if (m_inUse != nullptr) m_inUse->Show(dialog);
  }
  bool NextKey(KeyEvent& key) override { return m_inUse != nullptr && m_inUse->NextKey(key); }
  void Close() override {
    if (m_inUse == nullptr) return;
    m_inUse->Close();
    if (--m_depth == 0) m_inUse = nullptr;
  }

 private:
  DialogIo* m_inUse = nullptr;
  int m_depth = 0;
  std::unique_ptr<ScriptedDialogIo> m_script;
  std::string m_scriptText;
};

}  // namespace

DialogIo& DialogIo::Real() {
  // Never destroyed: a dialog may be open while the process exits.
  static auto* real = new RealDialogIo();
  return *real;
}

}  // namespace platform
