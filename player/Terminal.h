// SPDX-License-Identifier: GPL-3.0-or-later
// The player's terminal: raw keys in, text out, and the modes it found put
// back whatever way the player ends (normal end, error, signal).
#ifndef NARRO_PLAYER_TERMINAL_H_
#define NARRO_PLAYER_TERMINAL_H_

#include <string>

namespace player {

class Terminal {
 public:
  // Needs standard input and output to be a terminal; false, with the
  // reason in `error`, when they are not. Saves the modes and takes raw
  // keys (no echo, no line editing, Ctrl-C as a key); output processing
  // stays on, so a line feed starts a new line.
  bool Open(std::string& error);
  ~Terminal();

  // Puts the modes back as they were found, for a library dialog (which
  // sets the terminal up itself) or for the end.
  void Suspend();
  // Raw keys again after Suspend.
  void Resume();

  int Columns() const;
  int Rows() const;

  // Writes all of text, waiting out a slow terminal.
  static void Write(const std::string& text);

 private:
  bool m_open = false;
};

// Restores the terminal modes saved by Open; safe inside a signal handler.
void RestoreTerminalModes();

}  // namespace player

#endif  // NARRO_PLAYER_TERMINAL_H_
