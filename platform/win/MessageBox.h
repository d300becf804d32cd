// SPDX-License-Identifier: GPL-3.0-or-later
// MessageBox: a question or notice with buttons, shown as a dialog of the
// window layer (in the terminal, or answered by the key script). The
// buttons' letters answer at once (Y, N, A, R, I); Left, Right and Tab move
// between the buttons, saying each one's name through the Announcer (flags
// 3); Enter presses the button under the cursor, the first one at the
// start, as on Windows. Escape answers Cancel where there is one, OK on a
// box with OK alone, and does nothing otherwise.
//
// A box that nobody can answer (no terminal, no key script; the script
// used up; Ctrl-C) answers so that nothing is done: Cancel where there is
// one, else No, Abort or OK (GiveUpAnswer). It never hangs and never says
// yes for the player.
//
// The seam (platform/Seam.h): Current<MessageBoxes>() is the one in use;
// the real one shows the box. Tests put a box that answers as told in place
// with a ScopedMessageBoxes.
#ifndef NARRO_PLATFORM_WIN_MESSAGE_BOX_H_
#define NARRO_PLATFORM_WIN_MESSAGE_BOX_H_

#include <string>

#include "platform/Seam.h"
#include "platform/win/Messages.h"

namespace platform {

enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_ICONQUESTION = 0x20,
  MB_TYPEMASK = 0xF,
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  static MessageBoxes& Real();
  // The answer: IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES or IDNO.
  // Narrow text is in the locale's encoding.
  virtual int Show(void* owner, const std::string& text, const std::string& caption,
                   unsigned type) = 0;
};

using ScopedMessageBoxes = ScopedReplacement<MessageBoxes>;

// Current<MessageBoxes>().Show(...).
int MessageBox(void* owner, const std::string& text, const std::string& caption,
               unsigned type);

// The answer of the first button of a box of this type.
int DefaultButton(unsigned type);

// The answer of a box nobody answered: Cancel where there is one, else No,
// Abort or OK.
int GiveUpAnswer(unsigned type);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_MESSAGE_BOX_H_
