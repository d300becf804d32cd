// SPDX-License-Identifier: GPL-3.0-or-later
#define NCURSES_WIDECHAR 1
#include "platform/win/CursesScreen.h"

#include <ncursesw/curses.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cwctype>
#include <vector>

#include "platform/win/DialogLayout.h"
#include "platform/win/TerminalKeys.h"

namespace platform {

namespace {

// After a suspension (Ctrl-Z, then fg) the read that was waiting for a key
// goes on before curses puts the terminal back into keypad mode, so the
// first key comes in the terminal's normal cursor form ("ESC [ B", not
// "ESC O B") and would be lost: both forms are known.
void KnowNormalCursorKeys() {
  static const struct {
    const char* sequence;
    int code;
  } kKeys[] = {{"\033[A", KEY_UP},    {"\033[B", KEY_DOWN}, {"\033[C", KEY_RIGHT},
               {"\033[D", KEY_LEFT},  {"\033[H", KEY_HOME}, {"\033[F", KEY_END}};
  for (const auto& key : kKeys) {
    if (key_defined(key.sequence) == 0) define_key(key.sequence, key.code);
  }
}

// Curses puts handlers of its own on these signals when it starts a screen
// and leaves them there; a host's own handling comes back when the screen
// goes.
class SavedSignals {
 public:
  SavedSignals() {
    for (size_t i = 0; i < kCount; ++i) sigaction(kSignals[i], nullptr, &m_actions[i]);
  }
  void Restore() const {
    for (size_t i = 0; i < kCount; ++i) sigaction(kSignals[i], &m_actions[i], nullptr);
  }

 private:
  static constexpr int kSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGWINCH};
  static constexpr size_t kCount = sizeof kSignals / sizeof kSignals[0];
  struct sigaction m_actions[kCount];
};

class CursesScreen : public DialogIo {
 public:
  CursesScreen(SCREEN* own, FILE* in, FILE* out, const SavedSignals& signals)
      : m_own(own), m_in(in), m_out(out), m_signals(signals) {
    if (m_own == nullptr) {
      // The host's screen: keep what it shows, how its terminal is set, and
      // its windows untouched, by drawing on a window of our own.
      m_hostEnded = isendwin();
      def_prog_mode();
      m_saved = dupwin(curscr);
      m_hostCursor = curs_set(1);
      m_hostEscDelay = get_escdelay();
      m_window = newwin(LINES, COLS, 0, 0);
    }
    if (m_window == nullptr) m_window = stdscr;
    raw();
    noecho();
    nonl();
    keypad(m_window, TRUE);
    KnowNormalCursorKeys();
    leaveok(m_window, FALSE);
    curs_set(1);
    set_escdelay(50);
  }

  ~CursesScreen() override {
    if (m_own != nullptr) {
      endwin();
      delscreen(m_own);
      std::fclose(m_in);
      std::fclose(m_out);
      m_signals.Restore();
      return;
    }
    if (m_window != stdscr) delwin(m_window);
    if (m_saved != nullptr) {
      touchwin(m_saved);
      wrefresh(m_saved);
      delwin(m_saved);
    }
    set_escdelay(m_hostEscDelay);
    if (m_hostCursor != ERR) curs_set(m_hostCursor);
    reset_prog_mode();
    if (m_hostEnded) endwin();
  }

  bool Open() override { return true; }
  void Close() override {
    // The dialog below, if any, is drawn again in full by the next Show.
  }

  void Show(Dialog& dialog) override {
    int rows = 0;
    int columns = 0;
    getmaxyx(m_window, rows, columns);
    const Frame frame = LayOut(dialog, columns, rows);
    m_shown.resize(static_cast<size_t>(rows > 0 ? rows : 0));
    for (int row = 0; row < rows; ++row) {
      const FrameLine line = row < static_cast<int>(frame.lines.size()) ? frame.lines[row] : FrameLine{};
      if (m_valid && m_shown[row] == line) continue;
      Draw(row, line);
      m_shown[row] = line;
    }
    m_valid = true;
    wmove(m_window, frame.cursorRow, frame.cursorColumn);
    wrefresh(m_window);
  }

  bool NextKey(KeyEvent& key) override {
    for (;;) {
      if (TakeTerminalInterrupt()) {
        key = {KeyEvent::kInterrupt, 0, 0};
        return true;
      }
      wint_t ch = 0;
      // A tenth of a second at a time: the signal of a request to stop may
      // be taken by another thread of the program, or ncurses may go back
      // to waiting after it, and it must still be seen.
      wtimeout(m_window, kWaitSliceMs);
      const int got = wget_wch(m_window, &ch);
      if (got == ERR) {
        if (InputGone()) return false;  // the terminal is gone
        continue;                       // no key yet, or a signal
      }
      if (got == KEY_CODE_YES) {
        if (!KeyOfCursesCode(static_cast<int>(ch), key)) continue;
        if (key.kind == KeyEvent::kResize) {
          if (m_window != stdscr) wresize(m_window, LINES, COLS);
          m_valid = false;
        }
        return true;
      }
      if (ch == 27 && AltCharacter(key)) return true;
      if (KeyOfCharacter(static_cast<wchar_t>(ch), key)) return true;
    }
  }

 private:
  static constexpr int kWaitSliceMs = 100;

  // The terminal hung up: nothing more will come.
  bool InputGone() const {
    struct pollfd input = {m_in != nullptr ? fileno(m_in) : STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, 0) > 0 && (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }

  // A terminal sends Alt and a character as Escape and the character at
  // once; an Escape the player pressed comes alone. Whatever else follows
  // at once is put back for the next read.
  bool AltCharacter(KeyEvent& key) {
    wint_t next = 0;
    wtimeout(m_window, 25);
    const int got = wget_wch(m_window, &next);
    wtimeout(m_window, kWaitSliceMs);
    if (got == ERR) return false;
    if (got == OK && next >= 32 && next != 127 && !(next >= 128 && next < 160)) {
      key = KeyEvent();
      key.vk = VirtualKeyOf(static_cast<wchar_t>(next));
      key.ch = static_cast<wchar_t>(next);
      key.alt = true;
      return true;
    }
    if (got == KEY_CODE_YES) {
      ungetch(static_cast<int>(next));
    } else {
      unget_wch(static_cast<wchar_t>(next));
    }
    return false;
  }

  // What the terminal is sent of a line: a character the locale cannot
  // show (any character beyond ASCII in the C locale, a byte that did not
  // decode, an unassigned code) is '?', so that no byte reaches the
  // terminal that it could take for a control.
  static std::wstring Drawable(const std::wstring& text) {
    std::wstring drawable = text;
    for (wchar_t& c : drawable) {
      if (!std::iswprint(static_cast<wint_t>(c))) c = L'?';
    }
    return drawable;
  }

  void Draw(int row, const FrameLine& shown) {
    const FrameLine line{Drawable(shown.text), shown.markStart, shown.markLength};
    wmove(m_window, row, 0);
    const size_t markEnd = line.markStart + line.markLength;
    for (size_t i = 0; i < line.text.size();) {
      const bool marked = i >= line.markStart && i < markEnd;
      size_t end = marked ? markEnd : (i < line.markStart ? line.markStart : line.text.size());
      if (end > line.text.size() || end <= i) end = line.text.size();
      if (marked) wattron(m_window, A_REVERSE);
      waddnwstr(m_window, line.text.c_str() + i, static_cast<int>(end - i));
      if (marked) wattroff(m_window, A_REVERSE);
      i = end;
    }
    // A line that fills the width leaves the cursor on the next row's
    // start; clearing there would wipe that row.
    int y = 0;
    int x = 0;
    getyx(m_window, y, x);
    if (y == row) wclrtoeol(m_window);
  }

  SCREEN* m_own;
  FILE* m_in;
  FILE* m_out;
  WINDOW* m_window = nullptr;
  WINDOW* m_saved = nullptr;
  SavedSignals m_signals;
  bool m_hostEnded = false;
  int m_hostCursor = ERR;
  int m_hostEscDelay = 0;
  std::vector<FrameLine> m_shown;
  bool m_valid = false;
};

}  // namespace

std::unique_ptr<DialogIo> OpenCursesScreen(int ttyFd) {
  const SavedSignals signals;
  if (stdscr != nullptr) return std::make_unique<CursesScreen>(nullptr, nullptr, nullptr, signals);
  const int inFd = dup(ttyFd);
  const int outFd = dup(ttyFd);
  FILE* in = inFd >= 0 ? fdopen(inFd, "r") : nullptr;
  FILE* out = outFd >= 0 ? fdopen(outFd, "w") : nullptr;
  if (in == nullptr || out == nullptr) {
    if (in != nullptr) std::fclose(in); else if (inFd >= 0) close(inFd);
    if (out != nullptr) std::fclose(out); else if (outFd >= 0) close(outFd);
    return nullptr;
  }
  SCREEN* screen = newterm(nullptr, out, in);
  if (screen == nullptr) {
    std::fclose(in);
    std::fclose(out);
    signals.Restore();
    return nullptr;
  }
  set_term(screen);
  // Curses cannot draw a dialog on a terminal that cannot place its cursor.
  const char* cursorAddress = tigetstr(const_cast<char*>("cup"));
  if (cursorAddress == nullptr || cursorAddress == reinterpret_cast<char*>(-1)) {
    endwin();
    delscreen(screen);
    std::fclose(in);
    std::fclose(out);
    signals.Restore();
    return nullptr;
  }
  return std::make_unique<CursesScreen>(screen, in, out, signals);
}

}  // namespace platform
