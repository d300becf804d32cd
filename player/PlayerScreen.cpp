// SPDX-License-Identifier: GPL-3.0-or-later
// The bottom of narro-play's screen: the game's open line (its prompt) with
// the command after it, redrawn in place; Yes or No questions asked there;
// and the terminal handed to the library's dialogs and taken back.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <wchar.h>

#include <algorithm>

#include <narro/Narro.h>

#include "player/Player.h"
#include "player/PlayerSignals.h"
#include "player/ScreenText.h"
#include "platform/locale/TextEncoding.h"

namespace player {

bool Player::AskYesNo(const std::wstring& question, bool ctrlCAnswersYes) {
  EraseInputArea();
  Terminal::Write(platform::Utf8FromWide(ForScreen(question)) + " ");
  Say(question);
  KeyDecoder keys;
  bool answer = false;
  for (;;) {
    struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {SignalFd(), POLLIN, 0}};
    const int ready = poll(fds, 2, keys.Pending() ? 40 : -1);
    if (ready < 0 && errno == EINTR) continue;
    if (fds[1].revents & POLLIN) {
      // A resize leaves the question open: the player who dragged the
      // window has not answered it. Any other signal goes back to the main
      // loop, and the question is No.
      bool stop = false;
      for (int number : TakeSignals()) {
        if (number == SIGWINCH) {
          m_resizeWanted = true;
          continue;
        }
        stop = true;
        PutBackSignal(number);
      }
      if (stop) break;
      if (!(fds[0].revents & POLLIN)) continue;
    }
    std::optional<Key> key;
    if (ready == 0) {
      key = keys.Flush();
    } else {
      char buffer[64];
      const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) break;
      keys.Feed(std::string(buffer, static_cast<size_t>(n)));
      key = keys.Next();
    }
    if (!key) continue;
    if (key->code == KeyCode::kChar && (key->ch == L'y' || key->ch == L'Y')) {
      answer = true;
      break;
    }
    if ((key->code == KeyCode::kChar && (key->ch == L'n' || key->ch == L'N')) ||
        key->code == KeyCode::kEscape) {
      break;
    }
    if (key->code == KeyCode::kCtrlC) {
      answer = ctrlCAnswersYes;
      break;
    }
    Say(L"Yes or No?");
  }
  Terminal::Write(answer ? "Yes\n" : "No\n");
  m_cursorRow = 0;
  Redraw();
  return answer;
}

void Player::EraseInputArea() {
  std::string out = "\r";
  if (m_cursorRow > 0) out += "\x1b[" + std::to_string(m_cursorRow) + "A";
  out += "\x1b[J";
  Terminal::Write(out);
  m_cursorRow = 0;
}

void Player::DrawStatus(bool force) {
  std::vector<std::wstring> rows = m_view ? m_view->StatusRows() : std::vector<std::wstring>();
  // A screen reader follows the cursor and reads what changes: a status
  // line redrawn far from it each turn would be read out of place. Its
  // news is shown as lines of text instead.
  if (m_settings.screenReader) rows.clear();
  // The game's text and the command line keep at least four rows.
  const int height = m_terminal.Rows();
  const size_t fit = height > 6 ? static_cast<size_t>(height - 4) : 0;
  if (rows.size() > fit) rows.resize(fit);
  if (!force && rows == m_statusDrawn) return;
  const int count = static_cast<int>(rows.size());
  if (force || count != m_terminal.TopRows()) {
    EraseInputArea();
    if (count != m_terminal.TopRows()) m_terminal.KeepTopRows(count);
    else m_terminal.Rekeep();
    const std::string typed = m_terminal.TakeTypedAhead();
    if (!typed.empty()) {
      m_keys.Feed(typed);
      m_escapeUntil = Clock::now();  // read at the loop's next turn
    }
  }
  const int columns = std::max(1, m_terminal.Columns());
  std::string out = "\x1b" "7";
  // Rows the status no longer takes are blanked before text scrolls there.
  for (size_t row = rows.size(); row < m_statusDrawn.size(); ++row) {
    out += "\x1b[" + std::to_string(row + 1) + ";1H\x1b[2K";
  }
  for (size_t row = 0; row < rows.size(); ++row) {
    // Reversed, the whole width, as every interpreter draws it.
    out += "\x1b[" + std::to_string(row + 1) + ";1H\x1b[7m" +
           platform::Utf8FromWide(FitCells(ForScreen(rows[row], false), columns)) + "\x1b[0m";
  }
  out += "\x1b" "8";
  Terminal::Write(out);
  m_statusDrawn = rows;
}

void Player::Redraw() {
  EraseInputArea();
  const int columns = std::max(1, m_terminal.Columns());
  const std::wstring open = m_view ? m_view->OpenLine() : std::wstring();
  // The open line is the game's; the typed text may hold what was pasted.
  const std::wstring all = ForScreen(open + m_editor.Text(), false);
  const int endCells = CellsOf(all);
  const int cursorCells = CellsOf(ForScreen(open + m_editor.Text().substr(0, m_editor.Cursor()), false));
  std::string out = platform::Utf8FromWide(all);
  // At the very end of a row the terminal holds the cursor back until the
  // next character; a space and a return make it take the new row now.
  if (endCells > 0 && endCells % columns == 0) out += " \r\x1b[K";
  const int endRow = endCells / columns;
  const int cursorRow = cursorCells / columns;
  const int cursorColumn = cursorCells % columns;
  if (endRow > cursorRow) out += "\x1b[" + std::to_string(endRow - cursorRow) + "A";
  out += "\r";
  if (cursorColumn > 0) out += "\x1b[" + std::to_string(cursorColumn) + "C";
  Terminal::Write(out);
  m_cursorRow = cursorRow;
}

}  // namespace player
