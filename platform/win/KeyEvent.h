// SPDX-License-Identifier: GPL-3.0-or-later
// One key as the modal loop receives it, from the terminal or a key script.
#ifndef NARRO_PLATFORM_WIN_KEY_EVENT_H_
#define NARRO_PLATFORM_WIN_KEY_EVENT_H_

namespace platform {

struct KeyEvent {
  enum Kind {
    kKey,        // a key-down of vk, followed by the character ch unless 0
    kInterrupt,  // Ctrl-C: the dialog or box gives up, as when keys run out
    kResize,     // the terminal changed size: draw again
  };
  Kind kind = kKey;
  unsigned vk = 0;
  wchar_t ch = 0;
  bool shift = false;  // only Shift-Tab is told apart: it goes backwards
  // Alt with a character: presses the button whose mnemonic it is,
  // wherever the focus stands (a terminal sends it as Escape and the
  // character).
  bool alt = false;
};

// The virtual key that types ch on a US keyboard; VK_PACKET for a
// character no key types.
unsigned VirtualKeyOf(wchar_t ch);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_KEY_EVENT_H_
