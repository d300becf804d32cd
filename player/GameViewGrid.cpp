// SPDX-License-Identifier: GPL-3.0-or-later
// The game view's grid windows: the status area at the top, kept for
// drawing and reading and heard for what changed in it, and the other
// grids (quote boxes, menus), heard a line at a time as they change.
#include <algorithm>

#include "player/GameView.h"
#include "player/GameViewText.h"
#include "player/CleanText.h"

namespace player {

void GameView::HearStatus(bool readsKeys, size_t turnStart, std::vector<std::wstring>& said) {
  std::vector<std::wstring> rows = StatusRows();
  for (std::wstring& row : rows) row = Trimmed(row);
  std::vector<std::wstring>& heard = readsKeys ? m_keysHeard : m_statusHeard;
  // A menu heard once is heard whole when it is opened again. A game that
  // starts reading keys (a menu, a Yes or No) is heard for what changed
  // since the last command: an unchanged status line is not news.
  if (!readsKeys) m_keysHeard.clear();
  else if (m_keysHeard.empty()) m_keysHeard = m_statusHeard;
  // Nothing is news before play begins: the banner says it all.
  const bool begun = m_firstTurnDone;
  std::wstring title;  // a menu's, heard before the menu
  for (size_t row = 0; row < rows.size(); ++row) {
    if (row == 0 && !readsKeys) continue;  // the room and the score, below
    const std::wstring before = row < heard.size() ? heard[row] : std::wstring();
    if (rows[row] == before || rows[row].empty() || !begun) continue;
    if (readsKeys) title += rows[row] + L"\n";
    else said.push_back(rows[row]);
    m_heardOnly.push_back(rows[row]);
  }
  if (!title.empty()) {
    m_turn.insert(turnStart, title);
    if (turnStart == m_turn.size() - title.size()) m_turnLineOpen = false;
  }
  if (!readsKeys && !rows.empty()) {
    const std::wstring room = StatusLineRoom(rows[0]);
    if (!room.empty() && room != m_lastRoom) {
      m_lastRoom = room;
      // The room is news only when the story's own text did not name it.
      if (begun && m_announceRoom && m_turn.find(room) == std::wstring::npos) {
        const bool open = m_turnLineOpen;
        m_heardOnly.push_back(room + (room.back() == L'.' ? L"" : L"."));
        m_turn = room + (room.back() == L'.' ? L"\n" : L".\n") + m_turn;
        m_turnLineOpen = open && m_turn.back() != L'\n';
      }
    }
    for (const std::wstring& row : rows) {
      long score = 0;
      if (!StatusLineScore(row, score)) continue;
      if (m_hasScore && score != m_score && begun) {
        said.push_back(ScoreChangeWords(m_score, score));
        m_heardOnly.push_back(said.back());
      }
      m_hasScore = true;
      m_score = score;
      break;
    }
  }
  heard = rows;
}

void GameView::ApplyGrid(const GlkContent& content, Window& window, Output& out,
                         std::vector<std::wstring>& said) {
  const auto statusWindow = m_windows.find(StatusWindow());
  const bool status = statusWindow != m_windows.end() && &statusWindow->second == &window;
  if (content.clear) {
    std::fill(window.lines.begin(), window.lines.end(), std::wstring());
    std::fill(window.reverse.begin(), window.reverse.end(), false);
  }
  std::vector<std::pair<int, std::wstring>> changed;
  for (const GlkGridLine& row : content.lines) {
    if (row.line >= 1000) continue;
    const size_t index = static_cast<size_t>(row.line);
    if (index >= window.lines.size()) {
      window.lines.resize(index + 1);
      window.reverse.resize(index + 1);
    }
    bool reverse = false;
    const std::wstring text = SpanText(row.spans, &reverse);
    const bool textChanged = Trimmed(text) != Trimmed(window.lines[index]);
    const bool highlighted = reverse && !window.reverse[index];
    window.lines[index] = text;
    window.reverse[index] = reverse;
    // The status area is heard by what changed in it since last heard.
    if (status && (index == 0 || window.lines.size() <= kStatusRows)) continue;
    if ((textChanged || highlighted) && !Trimmed(text).empty()) changed.emplace_back(row.line, Trimmed(text));
  }
  std::sort(changed.begin(), changed.end());
  for (const auto& line : changed) {
    said.push_back(line.second);
    out.shownGrid += line.second + L"\n";
  }
}

int GameView::StatusWindow() const {
  // The grid window nearest the top of the screen, leftmost first.
  int best = -1;
  const Window* found = nullptr;
  for (const auto& entry : m_windows) {
    const Window& window = entry.second;
    if (window.kind != GlkWindowKind::kGrid) continue;
    if (found == nullptr || window.top < found->top || (window.top == found->top && window.left < found->left)) {
      found = &window;
      best = entry.first;
    }
  }
  return best;
}

std::vector<std::wstring> GameView::StatusRows() const {
  const auto it = m_windows.find(StatusWindow());
  if (it == m_windows.end() || it->second.lines.empty()) return {};
  const std::vector<std::wstring>& lines = it->second.lines;
  // A taller window at the top is a status line over a quote box or a
  // menu: its first row is the status.
  std::vector<std::wstring> rows(lines.begin(), lines.begin() + (lines.size() <= kStatusRows ? lines.size() : 1));
  while (!rows.empty() && Trimmed(rows.back()).empty()) rows.pop_back();
  return rows;
}

std::wstring GameView::StatusWords() const {
  std::wstring words;
  for (const std::wstring& row : StatusRows()) {
    const std::wstring part = StatusLineWords(row);
    if (part.empty()) continue;
    if (!words.empty()) words += L' ';
    words += part;
  }
  return words;
}

}  // namespace player
