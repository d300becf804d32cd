// SPDX-License-Identifier: GPL-3.0-or-later
// The key script of NARRO_KEYS: keys for the dialogs and boxes of a process,
// in order, instead of the terminal's. Every character stands for itself,
// typed as a key-down of its virtual key followed by the character, except
// '<', which begins a key name up to the next '>': <Enter>, <Esc>, <Space>,
// <Tab>, <Backspace>, <Up>, <Down>, <Left>, <Right>, <PgUp>, <PgDn>,
// <Home>, <End>, <Ins>, <Del>, <F1> to <F12>, <Apps> and <S-F10>
// (the menu key), <C-c>, and <lt> for a literal
// '<'. An unknown name, or a script cut off inside '<', is logged and ends
// the script there.
#ifndef NARRO_PLATFORM_WIN_KEY_SCRIPT_H_
#define NARRO_PLATFORM_WIN_KEY_SCRIPT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/KeyEvent.h"

namespace platform {

class KeyScript {
 public:
  explicit KeyScript(const std::wstring& script);
  // The next key; false when the script is used up.
  bool Next(KeyEvent& key);
  // Why the script ended early; empty when it was read to its end.
  const std::string& Error() const { return m_error; }

 private:
  std::vector<KeyEvent> m_keys;
  size_t m_next = 0;
  std::string m_error;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_KEY_SCRIPT_H_
