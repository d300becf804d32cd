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

  // Keeps the top `rows` rows out of the scrolling, for the status area:
  // text scrolls below them, and the cursor goes to the bottom row, where
  // the command line is. 0 gives the whole screen back. Suspend gives it
  // back too, and Resume keeps the rows again; Rekeep sets them anew after
  // the terminal's size changed.
  void KeepTopRows(int rows);
  int TopRows() const { return m_topRows; }
  void Rekeep();

  // Writes all of text, waiting out a slow terminal.
  static void Write(const std::string& text);

 private:
  bool m_open = false;
  int m_topRows = 0;
};

// Restores the terminal modes saved by Open, and the whole screen to
// scrolling; safe inside a signal handler.
void RestoreTerminalModes();

}  // namespace player

#endif  // NARRO_PLAYER_TERMINAL_H_
