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
  // text scrolls below them. What the screen showed moves down to make
  // room (up, into the terminal's history, only as far as it must), and
  // the cursor stays with the text it was after; for that the terminal is
  // asked where its cursor is, and keys typed meanwhile are kept for
  // TakeTypedAhead. 0 gives the whole screen back. Suspend gives it back
  // too; Resume keeps the rows again, and so does Rekeep after the
  // terminal's size changed, the cursor then at the bottom row.
  void KeepTopRows(int rows);
  int TopRows() const { return m_topRows; }
  void Rekeep();
  std::string TakeTypedAhead();

  // Writes all of text, waiting out a slow terminal.
  static void Write(const std::string& text);

 private:
  // The cursor's row (1 is the top), as the terminal says; 0 when it
  // does not answer.
  int CursorRow();

  bool m_open = false;
  int m_topRows = 0;
  std::string m_typedAhead;
};

// Restores the terminal modes saved by Open, and the whole screen to
// scrolling; safe inside a signal handler.
void RestoreTerminalModes();

}  // namespace player

#endif  // NARRO_PLAYER_TERMINAL_H_
