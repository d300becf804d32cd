// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Tmux.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "tests/support/Shell.h"

namespace {

int g_servers = 0;

std::string Output(const std::string& command) {
  std::string out;
  RunShellCommand(command, out);
  return out;
}

}  // namespace

Tmux::Tmux(const std::string& command, int width, int height)
    : m_socket("narro-test-" + std::to_string(getpid()) + "-" + std::to_string(++g_servers)) {
  Run("new-session -d -x " + std::to_string(width) + " -y " + std::to_string(height) +
      " -e TERM=xterm " + ShellQuoted(command));
}

Tmux::~Tmux() { Run("kill-server"); }

std::string Tmux::Run(const std::string& arguments) const {
  return Output("tmux -L " + m_socket + " -f /dev/null " + arguments + " 2>/dev/null");
}

void Tmux::Keys(const std::string& keys) const { Run("send-keys -t 0 " + keys); }

std::string Tmux::Screen() const { return Run("capture-pane -p -t 0"); }

std::pair<int, int> Tmux::Cursor() const {
  const std::string text = Run("display -p -t 0 '#{cursor_x},#{cursor_y}'");
  int x = -1, y = -1;
  std::sscanf(text.c_str(), "%d,%d", &x, &y);
  return {x, y};
}

std::string Tmux::Line(int row) const {
  std::istringstream lines(Screen());
  std::string line;
  for (int i = 0; i <= row && std::getline(lines, line); ++i) {
  }
  return line;
}

bool Tmux::WaitFor(const std::string& text) const {
  for (int tries = 0; tries < 2000; ++tries) {
    if (Screen().find(text) != std::string::npos) return true;
    usleep(10000);
  }
  ADD_FAILURE() << "never shown: " << text << "\nscreen:\n" << Screen();
  return false;
}

int Tmux::RowOf(const std::string& text) const {
  std::istringstream lines(Screen());
  std::string line;
  for (int row = 0; std::getline(lines, line); ++row) {
    if (line.find(text) != std::string::npos) return row;
  }
  return -1;
}
