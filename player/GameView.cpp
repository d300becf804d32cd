// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameView.h"

#include <algorithm>

#include "player/GameViewText.h"
#include "player/ScreenText.h"
#include "player/CleanText.h"

namespace player {

namespace {

void KeepLast(std::wstring& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t cut = text.size() - limit;
  // Start at a line if one begins near the cut, so no word is halved.
  const size_t lineStart = text.find(L'\n', cut);
  if (lineStart != std::wstring::npos && lineStart - cut < 4096) cut = lineStart + 1;
  text.erase(0, cut);
}

// The status line's fields: runs of text parted by two or more blanks.
std::vector<std::wstring> StatusFields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::wstring field;
  size_t blanks = 0;
  for (wchar_t ch : line + L"  ") {
    if (ch == L' ') {
      ++blanks;
      continue;
    }
    if (blanks >= 2 && !field.empty()) {
      fields.push_back(field);
      field.clear();
    } else if (blanks >= 1 && !field.empty()) {
      field += L' ';
    }
    blanks = 0;
    field += ch;
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

bool ReadNumber(const std::wstring& text, size_t& at, long& number) {
  const size_t start = at;
  const bool negative = at < text.size() && text[at] == L'-';
  if (negative) ++at;
  const size_t digits = at;
  long value = 0;
  while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && at - digits < 9) {
    value = value * 10 + (text[at] - L'0');
    ++at;
  }
  if (at == digits) {
    at = start;
    return false;
  }
  number = negative ? -value : value;
  return true;
}

}  // namespace

std::wstring Printable(const std::wstring& text) { return ForScreen(text, false); }

std::wstring SpanText(const std::vector<GlkSpan>& spans, bool* reverse) {
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

bool StatusLineScore(const std::wstring& line, long& score) {
  for (const std::wstring& field : StatusFields(line)) {
    std::wstring lower;
    for (wchar_t ch : field) lower += (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
    // "Score: 35", "Score 35"
    const size_t word = lower.find(L"score");
    if (word != std::wstring::npos) {
      size_t at = word + 5;
      while (at < lower.size() && (lower[at] == L':' || lower[at] == L' ')) ++at;
      if (ReadNumber(lower, at, score)) return true;
      continue;
    }
    // "35/12": score and turns, as TADS prints them, and nothing else.
    size_t at = 0;
    long turns = 0;
    if (ReadNumber(field, at, score) && at < field.size() && field[at] == L'/') {
      ++at;
      if (ReadNumber(field, at, turns) && at == field.size()) return true;
    }
  }
  return false;
}

std::wstring ScoreChangeWords(long before, long now) {
  const long change = now - before;
  return L"Score " + std::to_wstring(now) + (change >= 0 ? L", up " : L", down ") +
         std::to_wstring(change >= 0 ? change : -change) + L".";
}

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
  bool readsLine = false;
  bool readsKey = false;
  for (const GlkInputRequest& request : update.input) {
    readsLine = readsLine || request.type == "line";
    readsKey = readsKey || request.type == "char";
  }
  const size_t turnStart = m_turn.size();
  for (const GlkContent& content : update.content) {
    auto it = m_windows.find(content.id);
    if (it == m_windows.end()) {
      if (m_windows.size() >= kWindowLimit) {
        TooManyWindows(said);
        continue;
      }
      // Content for a window the layout never named: read it by its shape.
      Window guess;
      guess.kind = content.lines.empty() ? GlkWindowKind::kBuffer : GlkWindowKind::kGrid;
      it = m_windows.emplace(content.id, guess).first;
    }
    switch (it->second.kind) {
      case GlkWindowKind::kBuffer:
        ApplyBufferWindow(content, update, it->second, out);
        break;
      case GlkWindowKind::kGrid:
        ApplyGrid(content, it->second, out, said);
        break;
      default:
        break;
    }
  }
  HearStatus(readsKey && !readsLine, std::min(turnStart, m_turn.size()), said);
  for (const std::wstring& line : said) AddToTurn(line, false);
  KeepLast(m_turn, kTurnLimit);
  if (out.shown.size() > kShownLimit) KeepLast(out.shown, kShownLimit);
  if (!update.input.empty() || update.specialInput || update.exit) {
    m_firstTurnDone = true;
    m_replaying = false;  // a replay that never said its end ends here
  }
}

void GameView::UpdateWindows(const std::vector<GlkWindow>& windows, std::vector<std::wstring>& said) {
  std::map<int, Window> next;
  for (const GlkWindow& layout : windows) {
    if (layout.kind == GlkWindowKind::kPair) continue;
    if (next.size() >= kWindowLimit) {
      TooManyWindows(said);
      break;
    }
    auto old = m_windows.find(layout.id);
    Window window = old != m_windows.end() ? old->second : Window();
    const bool isNew = old == m_windows.end() || old->second.kind != layout.kind;
    window.kind = layout.kind;
    window.top = layout.top;
    window.left = layout.left;
    if (window.kind == GlkWindowKind::kGrid) {
      const size_t rows = static_cast<size_t>(std::clamp(layout.gridHeight, 0, 1000));
      window.lines.resize(rows);
      window.reverse.resize(rows);
    }
    if (isNew && window.kind == GlkWindowKind::kGraphics) {
      said.push_back(kPictureWords);
      m_heardOnly.push_back(kPictureWords);
    }
    next[layout.id] = window;
  }
  m_windows.swap(next);
}

void GameView::TooManyWindows(std::vector<std::wstring>& said) {
  if (m_toldWindows) return;
  m_toldWindows = true;
  said.push_back(L"The game opened more than " + std::to_wstring(kWindowLimit) +
                 L" windows; the others are not shown or spoken.");
  m_heardOnly.push_back(said.back());
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

std::vector<std::wstring> GameView::TakeHeardOnly() {
  std::vector<std::wstring> lines;
  lines.swap(m_heardOnly);
  // Bounded as the turn is: a flood of status changes between two
  // commands keeps its latest.
  if (lines.size() > 64) lines.erase(lines.begin(), lines.end() - 64);
  return lines;
}

std::wstring GameView::TakeTurn() {
  std::wstring turn;
  turn.swap(m_turn);
  m_turnLineOpen = false;
  while (!turn.empty() && turn.back() == L'\n') turn.pop_back();
  return turn;
}

}  // namespace player
