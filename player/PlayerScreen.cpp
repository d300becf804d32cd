// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerScreen.h"

#include <algorithm>

#include "player/GameView.h"
#include "player/LineEditor.h"
#include "player/ScreenText.h"
#include "player/Settings.h"
#include "player/Terminal.h"
#include "platform/locale/TextEncoding.h"

namespace player {

void PlayerScreen::EraseInputArea() {
  std::string out = "\r";
  if (m_cursorRow > 0) out += "\x1b[" + std::to_string(m_cursorRow) + "A";
  out += "\x1b[J";
  Terminal::Write(out);
  m_cursorRow = 0;
}

void PlayerScreen::WriteAbove(const std::string& text) {
  EraseInputArea();
  Terminal::Write(text);
  m_cursorRow = 0;
}

void PlayerScreen::Show(const std::wstring& text) {
  WriteAbove(platform::Utf8FromWide(ForScreen(text)));
  Redraw();
}

void PlayerScreen::NewRow() {
  Terminal::Write("\r\n");
  m_cursorRow = 0;
}

void PlayerScreen::OpenQuestion(const std::wstring& text) {
  m_question = text;
  Redraw();
}

void PlayerScreen::CloseQuestion(bool yes) {
  m_question.reset();
  Terminal::Write(yes ? "Yes\n" : "No\n");
  m_cursorRow = 0;
  Redraw();
}

void PlayerScreen::WithDialog(const std::function<void()>& call) {
  EraseInputArea();
  m_terminal.Suspend();
  call();
  m_terminal.Resume();
  m_cursorRow = 0;
  DrawStatus(true);
  Redraw();
}

void PlayerScreen::DrawStatus(bool force) {
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
    m_typedAhead(m_terminal.TakeTypedAhead());
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

void PlayerScreen::Redraw() {
  EraseInputArea();
  const int columns = std::max(1, m_terminal.Columns());
  // An open question stands where the command line does, the cursor
  // after it, and is drawn again below whatever the game shows meanwhile.
  const std::wstring open =
      m_question ? *m_question + L" " : m_view ? m_view->OpenLine() : std::wstring();
  const std::wstring typed = m_question ? std::wstring() : m_editor.Text();
  const size_t cursor = m_question ? 0 : m_editor.Cursor();
  // The open line is the game's; the typed text may hold what was pasted.
  const std::wstring all = ForScreen(open + typed, false);
  const int endCells = CellsOf(all);
  const int cursorCells = CellsOf(ForScreen(open + typed.substr(0, cursor), false));
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
