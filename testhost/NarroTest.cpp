// SPDX-License-Identifier: GPL-3.0-or-later
// NarroTest: checks on a given machine that the library speaks, that its
// spoken text input works and that a save-game naming flow behaves, and
// shows everything written to the debug output meanwhile.
//
// Keys come from the terminal. NARROTEST_KEYS gives this program's own
// window and boxes a key script of their own, so that NARRO_KEYS can drive
// the library's input dialog separately (each has its own copy of the
// window layer, and both would otherwise read the same script from its
// start).
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/environment/Environment.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/ScriptedDialogIo.h"
#include "testhost/MainDlg.h"
#include "testhost/WakingDialogIo.h"

int main() {
  const std::string script = platform::GetEnvironmentVariable("NARROTEST_KEYS");
  const std::string libraryScript = platform::GetEnvironmentVariable("NARRO_KEYS");
  std::unique_ptr<platform::ScriptedDialogIo> scripted;
  int tty = -1;
  if (!script.empty()) {
    // A key script is UTF-8, as the library's own NARRO_KEYS.
    scripted = std::make_unique<platform::ScriptedDialogIo>(platform::WideFromUtf8(script));
  } else if (libraryScript.empty()) {
    tty = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  }
  platform::DialogIo& inner = scripted ? *scripted : platform::Current<platform::DialogIo>();
  CWakingDialogIo io(inner, tty);
  int code = 0;
  {
    platform::ScopedDialogIo replaced(io);
    CMainDlg dialog(io);
    code = dialog.Run();
  }
  if (tty >= 0) close(tty);
  // DONE ends with its command id, 2, as the exit code.
  return code < 0 ? 1 : code;
}
