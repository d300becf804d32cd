// SPDX-License-Identifier: GPL-3.0-or-later
// Where a modal dialog gets its keys and is shown: the terminal (drawn with
// ncurses, keys from /dev/tty) or, when NARRO_KEYS is set, the key script,
// which needs no terminal and shows nothing.
//
// The seam (platform/Seam.h): Current<DialogIo>() is the one in use. Tests
// put a ScriptedDialogIo in place with a ScopedDialogIo, so that each test
// has keys of its own whatever the environment says.
#ifndef NARRO_PLATFORM_WIN_DIALOG_IO_H_
#define NARRO_PLATFORM_WIN_DIALOG_IO_H_

#include "platform/Seam.h"
#include "platform/win/KeyEvent.h"

namespace platform {

class Dialog;

class DialogIo {
 public:
  virtual ~DialogIo() = default;
  // The terminal, or the script of NARRO_KEYS when it is set.
  static DialogIo& Real();

  // Called as each dialog opens, also for a dialog over another; false when
  // it cannot be shown (no terminal and no script).
  virtual bool Open() = 0;
  // Shows the dialog as it is now (the topmost one).
  virtual void Show(Dialog& dialog) = 0;
  // The next key; false when no more will come (the script is used up, the
  // terminal is gone), and from then on.
  virtual bool NextKey(KeyEvent& key) = 0;
  // Called as each dialog closes; the last leaves the terminal as it was.
  virtual void Close() = 0;
};

using ScopedDialogIo = ScopedReplacement<DialogIo>;

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_DIALOG_IO_H_
