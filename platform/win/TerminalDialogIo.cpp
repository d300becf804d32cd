// SPDX-License-Identifier: GPL-3.0-or-later
#define NCURSES_WIDECHAR 1
#include "platform/win/TerminalDialogIo.h"

#include <fcntl.h>
#include <ncursesw/curses.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/environment/Environment.h"
#include "platform/win/CursesScreen.h"
#include "platform/win/PlainTerminal.h"
#include "platform/win/TerminalDescription.h"

namespace platform {

namespace {

// The terminal is taken as the outermost dialog opens and given back, as it
// was found, when it closes; dialogs over it share it.
class Terminal : public DialogIo {
 public:
  bool Open() override {
    if (m_depth == 0 && !Take()) return false;
    ++m_depth;
    return m_io->Open();
  }
  void Show(Dialog& dialog) override {
    if (m_io) m_io->Show(dialog);
  }
  bool NextKey(KeyEvent& key) override { return m_io && m_io->NextKey(key); }
  void Close() override {
    if (!m_io) return;
    m_io->Close();
    if (--m_depth == 0) GiveBack();
  }

 private:
  bool Take() {
    m_fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) return false;
    const std::string term = GetEnvironmentVariable("TERM");
    if (stdscr != nullptr || (term != "dumb" && HasTerminalDescription(term))) {
      m_io = OpenCursesScreen(m_fd);
    }
    if (!m_io) m_io = OpenPlainTerminal(m_fd);
    if (!m_io) GiveBack();
    return m_io != nullptr;
  }
  void GiveBack() {
    m_io.reset();
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
  }

  std::unique_ptr<DialogIo> m_io;
  int m_fd = -1;
  int m_depth = 0;
};

}  // namespace

DialogIo& TerminalDialogIo() {
  // Never destroyed: a dialog may be open while the process exits.
  static auto* terminal = new Terminal();
  return *terminal;
}

}  // namespace platform
