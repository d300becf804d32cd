// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Terminal.h"

#include <errno.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

namespace player {

namespace {

// Kept in plain statics so that a signal handler can put them back.
struct termios g_found;
volatile sig_atomic_t g_saved = 0;
volatile sig_atomic_t g_topRowsKept = 0;

// The whole screen scrolls again; the cursor stays where it is.
const char kWholeScreen[] = "\x1b" "7" "\x1b[r" "\x1b" "8";

}  // namespace

void RestoreTerminalModes() {
  // Keys typed ahead stay: they belong to the dialog the modes are handed
  // to, or to the shell the player returns to.
  if (g_topRowsKept) {
    g_topRowsKept = 0;
    ssize_t ignored = write(STDOUT_FILENO, kWholeScreen, sizeof kWholeScreen - 1);
    (void)ignored;
  }
  if (g_saved) tcsetattr(STDIN_FILENO, TCSADRAIN, &g_found);
}

bool Terminal::Open(std::string& error) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    error = "narro-play needs a terminal: standard input and output must be one";
    return false;
  }
  if (tcgetattr(STDIN_FILENO, &g_found) != 0) {
    error = "cannot read the terminal's modes";
    return false;
  }
  g_saved = 1;
  m_open = true;
  std::atexit(RestoreTerminalModes);
  Resume();
  return true;
}

Terminal::~Terminal() {
  if (m_open) Suspend();
}

namespace {

// xterm sends Alt and a key as the key's character with its top bit set
// unless asked for an Escape prefix instead, which is what tmux and the
// Linux console send: asked for while the player runs, so every Alt key it
// lists works there too. Terminals that do not know the mode ignore it.
const char kAltSendsEscape[] = "\x1b[?1036h";
const char kAltAsFound[] = "\x1b[?1036l";

}  // namespace

void Terminal::Suspend() {
  if (m_open) Write(kAltAsFound);
  RestoreTerminalModes();
}

void Terminal::Resume() {
  struct termios raw = g_found;
  raw.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_iflag &= ~(IXON | ICRNL | INLCR | ISTRIP);
  raw.c_oflag |= OPOST;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSADRAIN, &raw);
  Write(kAltSendsEscape);
  if (m_topRows > 0) Rekeep();
}

void Terminal::KeepTopRows(int rows) {
  if (rows == m_topRows && (rows == 0 || g_topRowsKept)) return;
  const int before = g_topRowsKept ? m_topRows : 0;
  m_topRows = rows;
  const int height = Rows();
  if (rows <= 0 || rows >= height) {
    Rekeep();
    return;
  }
  // Where the text ends: the cursor's row, everything below it blank.
  const int row = CursorRow();
  std::string out = "\x1b" "7" "\x1b[r" "\x1b" "8";  // the whole screen, for a moment
  int at = row > 0 ? row : height;
  if (rows > before) {
    const int more = rows - before;
    // Room below the text first, scrolling the oldest lines into the
    // history; then the text moves down under the status rows.
    const int short_ = std::max(0, at + more - height);
    if (short_ > 0) {
      out += "\x1b[" + std::to_string(height) + ";1H" + std::string(static_cast<size_t>(short_), '\n');
      at -= short_;
    }
    out += "\x1b[" + std::to_string(before + 1) + ";1H\x1b[" + std::to_string(more) + "L";
    at += more;
  }
  at = std::clamp(at, rows + 1, height);
  out += "\x1b[" + std::to_string(rows + 1) + ";" + std::to_string(height) + "r\x1b[" + std::to_string(at) + ";1H";
  Write(out);
  g_topRowsKept = 1;
}

namespace {

// The cursor position report ESC [ row ; column R in what the terminal
// sent: its row, and the report taken out of `bytes`, whatever keys came
// before or after it. 0 while there is none.
int TakeCursorReport(std::string& bytes) {
  for (size_t start = bytes.find("\x1b["); start != std::string::npos; start = bytes.find("\x1b[", start + 1)) {
    size_t at = start + 2;
    const size_t rowStart = at;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') ++at;
    if (at == rowStart || at >= bytes.size() || bytes[at] != ';') continue;
    const int row = std::atoi(bytes.substr(rowStart, at - rowStart).c_str());
    const size_t columnStart = ++at;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') ++at;
    if (at == columnStart || at >= bytes.size() || bytes[at] != 'R') continue;
    bytes.erase(start, at + 1 - start);
    return row;
  }
  return 0;
}

}  // namespace

int Terminal::CursorRow() {
  Write("\x1b[6n");
  std::string answer;
  // A terminal answers in a few milliseconds; one that does not answer
  // at all costs this once, when the status rows first appear.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
  int row = 0;
  while ((row = TakeCursorReport(answer)) == 0) {
    const long left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
    struct pollfd ready = {STDIN_FILENO, POLLIN, 0};
    if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0) break;
    char buffer[64];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) break;
    answer.append(buffer, static_cast<size_t>(n));
    if (answer.size() > 4096) break;  // keys, and no report among them
  }
  // Keys typed meanwhile are the player's, in the order typed.
  m_typedAhead += answer;
  return row;
}

std::string Terminal::TakeTypedAhead() {
  std::string keys;
  keys.swap(m_typedAhead);
  return keys;
}

void Terminal::Rekeep() {
  const int height = Rows();
  if (m_topRows <= 0 || m_topRows >= height) {
    if (g_topRowsKept) Write(kWholeScreen);
    g_topRowsKept = 0;
    return;
  }
  // Setting the margins puts the cursor at the top; the command line
  // belongs at the bottom.
  Write("\x1b[" + std::to_string(m_topRows + 1) + ";" + std::to_string(height) + "r\x1b[" +
        std::to_string(height) + ";1H");
  g_topRowsKept = 1;
}

int Terminal::Columns() const {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

int Terminal::Rows() const {
  struct winsize size {};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0) return size.ws_row;
  return 24;
}

void Terminal::Write(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return;  // the terminal is gone; nothing more can be shown
    }
  }
}

}  // namespace player
