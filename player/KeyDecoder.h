// SPDX-License-Identifier: GPL-3.0-or-later
// Turns what a terminal sends for each key (UTF-8 characters, control
// bytes, escape sequences of xterm, tmux and the Linux console) into keys.
#ifndef NARRO_PLAYER_KEY_DECODER_H_
#define NARRO_PLAYER_KEY_DECODER_H_

#include <optional>
#include <string>

namespace player {

enum class KeyCode {
  kChar,  // a character to type; Key::ch
  kAlt,   // Alt and a character; Key::ch
  kEnter,
  kBackspace,
  kDelete,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kUp,
  kDown,
  kEscape,
  kTab,
  kPageUp,
  kPageDown,
  kFunction,  // F1..F12; Key::number
  kCtrlC,
  kCtrlD,
  kCtrlL,
  kOther,  // a sequence this player has no use for
};

struct Key {
  KeyCode code;
  wchar_t ch = 0;
  int number = 0;
};

class KeyDecoder {
 public:
  void Feed(const std::string& bytes);
  // The next whole key, or nothing while the bytes so far may still become
  // a longer sequence (a lone Escape waits for Flush).
  std::optional<Key> Next();
  // True when bytes wait that Next cannot decode yet.
  bool Pending() const { return !m_bytes.empty(); }
  // Called when no more bytes came shortly after: what waits is taken as it
  // stands (a lone ESC is the Escape key).
  std::optional<Key> Flush();

 private:
  std::string m_bytes;
};

}  // namespace player

#endif  // NARRO_PLAYER_KEY_DECODER_H_
