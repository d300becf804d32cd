// SPDX-License-Identifier: GPL-3.0-or-later
// A real terminal for tests: tmux runs a program in a window of a given
// size, keys are sent to it, and the screen and the cursor are read back.
#ifndef NARRO_TESTS_SUPPORT_TMUX_H_
#define NARRO_TESTS_SUPPORT_TMUX_H_

#include <string>
#include <utility>

// One tmux server of the test's own, with one window running a command.
class Tmux {
 public:
  Tmux(const std::string& command, int width, int height);
  ~Tmux();
  Tmux(const Tmux&) = delete;
  Tmux& operator=(const Tmux&) = delete;

  std::string Run(const std::string& arguments) const;
  void Keys(const std::string& keys) const;
  std::string Screen() const;
  // Column and row of the terminal's cursor.
  std::pair<int, int> Cursor() const;
  std::string Line(int row) const;
  // Waits until the screen shows the text (the program draws at its own
  // pace); false, with a test failure showing the screen, after 20 s.
  bool WaitFor(const std::string& text) const;
  // The row on which the text is shown, -1 when it is not.
  int RowOf(const std::string& text) const;

 private:
  std::string m_socket;
};

#endif  // NARRO_TESTS_SUPPORT_TMUX_H_
