// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameView.h"

#include <algorithm>

#include "player/ScreenText.h"
#include "player/Utf8Text.h"

namespace player {

namespace {

const wchar_t kPicture[] = L"A picture.";

// Text fit for a terminal and a voice: no control characters, no escape
// sequence, not even its remnants.
std::wstring Printable(const std::wstring& text) { return ForScreen(text, false); }

std::wstring SpanText(const std::vector<GlkSpan>& spans, bool* reverse = nullptr) {
  std::wstring text;
  for (const GlkSpan& span : spans) {
    if (span.style == "input") continue;  // the player's own command, heard as typed
    text += span.text;
    // RemGlk's C build sends a Z-code grid's reverse video (the status
    // line, a menu's cursor) as the alert style, emglken's as a CSS style.
    const bool inverse = span.reverse || span.style == "alert";
    if (reverse != nullptr && inverse && !Trimmed(span.text).empty()) *reverse = true;
  }
  return Printable(text);
}

bool IsBarePrompt(const std::wstring& line) { return Trimmed(line) == L">"; }

void KeepLast(std::wstring& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t cut = text.size() - limit;
  // Start at a line if one begins near the cut, so no word is halved.
  const size_t lineStart = text.find(L'\n', cut);
  if (lineStart != std::wstring::npos && lineStart - cut < 4096) cut = lineStart + 1;
  text.erase(0, cut);
}

}  // namespace

std::wstring StatusLineWords(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::wstring field;
  size_t blanks = 0;
  auto finish = [&] {
    std::wstring words = Trimmed(field);
    // "Score: 0" reads "Score 0"; a colon inside a time ("10:30") stays.
    for (size_t at = 0; (at = words.find(L": ", at)) != std::wstring::npos;) words.erase(at, 1);
    while (!words.empty() && words.back() == L':') words.pop_back();
    if (!words.empty()) fields.push_back(words);
    field.clear();
  };
  for (wchar_t ch : line) {
    if (ch == L' ') {
      ++blanks;
      continue;
    }
    if (blanks >= 2) finish();
    else if (blanks == 1) field += L' ';
    blanks = 0;
    field += ch;
  }
  finish();
  std::wstring words;
  for (const std::wstring& part : fields) {
    if (!words.empty()) words += L' ';
    words += part;
    const wchar_t last = part.back();
    if (last != L'.' && last != L'!' && last != L'?') words += L'.';
  }
  return words;
}

std::wstring StatusLineRoom(const std::wstring& line) {
  const std::wstring trimmed = Trimmed(line);
  const size_t gap = trimmed.find(L"  ");
  return Trimmed(gap == std::wstring::npos ? trimmed : trimmed.substr(0, gap));
}

void GameView::Apply(const GlkUpdate& update, Output& out) {
  std::vector<std::wstring> said;
  if (update.windows) UpdateWindows(*update.windows, said);
  const std::wstring statusBefore = StatusText();
  for (const GlkContent& content : update.content) {
    auto it = m_windows.find(content.id);
    if (it == m_windows.end()) {
      // Content for a window the layout never named: read it by its shape.
      Window guess;
      guess.type = content.lines.empty() ? "buffer" : "grid";
      it = m_windows.emplace(content.id, guess).first;
    }
    if (it->second.type == "buffer") ApplyBuffer(content, out);
    else if (it->second.type == "grid") ApplyGrid(content, it->second, out, said);
  }
  const std::wstring room = StatusLineRoom(StatusText());
  if (StatusText() != statusBefore && room != m_lastRoom) {
    m_lastRoom = room;
    // The room is news only when the story's own text did not name it.
    if (m_announceRoom && !room.empty() && m_turn.find(room) == std::wstring::npos) {
      const bool open = m_turnLineOpen;
      m_turn = room + (room.back() == L'.' ? L"\n" : L".\n") + m_turn;
      m_turnLineOpen = open && m_turn.back() != L'\n';
    }
  }
  for (const std::wstring& line : said) AddToTurn(line, false);
  KeepLast(m_turn, kTurnLimit);
  if (out.shown.size() > kShownLimit) KeepLast(out.shown, kShownLimit);
  if (!update.input.empty() || update.specialInput || update.exit) m_firstTurnDone = true;
}

void GameView::UpdateWindows(const std::vector<GlkWindow>& windows, std::vector<std::wstring>& said) {
  std::map<int, Window> next;
  for (const GlkWindow& layout : windows) {
    if (layout.type == "pair") continue;
    auto old = m_windows.find(layout.id);
    Window window = old != m_windows.end() ? old->second : Window();
    const bool isNew = old == m_windows.end() || old->second.type != layout.type;
    window.type = layout.type;
    window.top = layout.top;
    window.left = layout.left;
    if (window.type == "grid") {
      const size_t rows = static_cast<size_t>(std::clamp(layout.gridHeight, 0, 1000));
      window.lines.resize(rows);
      window.reverse.resize(rows);
    }
    if (isNew && window.type == "graphics") said.push_back(kPicture);
    next[layout.id] = window;
  }
  m_windows.swap(next);
}

void GameView::EndOpenParagraph(Output& out) {
  if (m_openOnScreen) out.shown += m_open + L"\n";
  m_open.clear();
  m_openOnScreen = false;
}

void GameView::CommandShown() {
  m_open.clear();
  m_openOnScreen = false;
  m_turnLineOpen = false;
}

void GameView::AddToTurn(const std::wstring& line, bool append) {
  if (append && m_turnLineOpen && !m_turn.empty()) {
    m_turn.pop_back();  // its line feed
    m_turn += line + L"\n";
    return;
  }
  if (Trimmed(line).empty()) {
    m_turnLineOpen = false;
    return;
  }
  m_turn += line + L"\n";
  m_turnLineOpen = true;
}

void GameView::ApplyBuffer(const GlkContent& content, Output& out) {
  // Another story window (an interpreter's error window, say) continues
  // no paragraph of this one.
  const bool otherWindow = content.id != m_openWindow;
  if (content.clear || otherWindow) EndOpenParagraph(out);
  if (otherWindow) m_turnLineOpen = false;
  m_openWindow = content.id;
  for (const GlkParagraph& paragraph : content.text) {
    const std::wstring text = SpanText(paragraph.spans);
    if (paragraph.image) AddToTurn(kPicture, false);
    if (paragraph.append) {
      m_open += text;
      if (!text.empty()) m_openOnScreen = true;
    } else {
      EndOpenParagraph(out);
      m_open = text;
      m_openOnScreen = true;
    }
    if (!m_firstTurnDone) {
      if (paragraph.append && !m_banner.empty()) m_banner.pop_back();
      m_banner += text + L"\n";
      for (const GlkSpan& span : paragraph.spans) {
        const std::wstring words = Trimmed(Printable(span.text));
        if (words.empty()) continue;
        if (span.style == "header" && m_title.empty()) m_title = words;
        if (span.style == "subheader" && m_titleSub.empty()) m_titleSub = words;
      }
      if (m_title.empty()) m_title = m_titleSub;
    }
    // A bare ">" is the prompt, not news; any other prompt is a question
    // the player must hear.
    if (text.empty() && paragraph.append) continue;
    if (IsBarePrompt(text)) {
      m_turnLineOpen = false;
      continue;
    }
    AddToTurn(text, paragraph.append);
  }
}

void GameView::ApplyGrid(const GlkContent& content, Window& window, Output& out,
                         std::vector<std::wstring>& said) {
  const bool status = m_windows.count(StatusWindow()) != 0 && &m_windows[StatusWindow()] == &window;
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
    if (status && index == 0) continue;  // the status line: read on request
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
    if (window.type != "grid") continue;
    if (found == nullptr || window.top < found->top || (window.top == found->top && window.left < found->left)) {
      found = &window;
      best = entry.first;
    }
  }
  return best;
}

std::wstring GameView::StatusText() const {
  const auto it = m_windows.find(StatusWindow());
  if (it == m_windows.end() || it->second.lines.empty()) return std::wstring();
  return it->second.lines[0];
}

std::wstring GameView::StatusWords() const { return StatusLineWords(StatusText()); }

std::wstring GameView::TakeTurn() {
  std::wstring turn;
  turn.swap(m_turn);
  m_turnLineOpen = false;
  while (!turn.empty() && turn.back() == L'\n') turn.pop_back();
  return turn;
}

}  // namespace player
