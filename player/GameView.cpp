// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameView.h"

#include <algorithm>

#include "player/ScreenText.h"
#include "player/Utf8Text.h"

namespace player {

namespace {

const wchar_t kPicture[] = L"A picture.";
// Bocfel's bounds of the scrollback it replays after a restore.
const wchar_t kReplayStart[] = L"[Starting history playback]";
const wchar_t kReplayEnd[] = L"[End of history playback]";

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

// A list drawn with ">" before its chosen line and a blank before the
// others: the chosen line's index, or -1.
int MarkedLine(const std::vector<std::wstring>& lines) {
  int marked = -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::wstring& line = lines[i];
    if (Trimmed(line).empty()) continue;
    if (line.size() > 1 && line[0] == L'>' && line[1] != L' ') {
      if (marked >= 0) return -1;
      marked = static_cast<int>(i);
    } else if (line[0] == L' ') {
      continue;
    } else {
      return -1;
    }
  }
  // A list of one is marked too (a submenu of one question).
  return marked;
}

// A line of a list without its mark.
std::wstring Unmarked(const std::wstring& line) {
  return Trimmed(!line.empty() && line[0] == L'>' ? line.substr(1) : line);
}

}  // namespace

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

void GameView::ApplyBufferWindow(const GlkContent& content, const GlkUpdate& update, const Window& window,
                                 Output& out) {
  const size_t turnBefore = m_turn.size();
  ApplyBuffer(content, out);
  bool commandWindow = false;
  for (const GlkInputRequest& request : update.input) {
    commandWindow = commandWindow || (request.type == "line" && request.id == content.id);
  }
  // A window the player types commands into is heard whole: a game that
  // clears the screen each turn must not go quiet at a second LOOK.
  if (content.clear && !commandWindow) HearRedrawn(content, window, turnBefore);
}

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

void GameView::HearRedrawn(const GlkContent& content, const Window& window, size_t turnBefore) {
  std::vector<std::wstring> lines;
  for (const GlkParagraph& paragraph : content.text) {
    const std::wstring text = SpanText(paragraph.spans);
    if (paragraph.append && !lines.empty()) lines.back() += text;
    else lines.push_back(text);
  }
  const int marked = MarkedLine(lines);
  // The drawing at this place most like this one: a menu left for its
  // submenu and come back to is compared with itself.
  std::vector<std::vector<std::wstring>>& drawings = m_drawn[{window.top, window.left}];
  std::vector<std::wstring>* before = nullptr;
  size_t same = 0;
  size_t shown = 0;
  for (const std::wstring& line : lines) shown += Trimmed(line).empty() ? 0 : 1;
  for (std::vector<std::wstring>& drawing : drawings) {
    size_t alike = 0;
    for (size_t i = 0; i < lines.size() && i < drawing.size(); ++i) {
      if (!Trimmed(lines[i]).empty() && Unmarked(drawing[i]) == Unmarked(lines[i])) ++alike;
    }
    if (before == nullptr || alike > same) {
      before = &drawing;
      same = alike;
    }
  }
  const bool redrawn = before != nullptr && shown > 0 && same * 2 >= shown;
  if (redrawn || marked >= 0) {
    // Heard again: what changed, and the marked line, which says where
    // the player is.
    m_turn.resize(std::min(turnBefore, m_turn.size()));
    m_turnLineOpen = false;
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::wstring text = Unmarked(lines[i]);
      if (text.empty()) continue;
      const bool isMarked = static_cast<int>(i) == marked;
      const bool changed = !(redrawn && i < before->size() && Unmarked((*before)[i]) == text);
      if (!changed && !isMarked) continue;
      AddToTurn(isMarked ? text + L", selected." : text, false);
    }
  }
  if (redrawn) {
    *before = lines;
  } else {
    drawings.push_back(lines);
    // A few drawings are enough: a menu, its submenus, their hints.
    if (drawings.size() > 4) drawings.erase(drawings.begin());
  }
  // A window drawn once for good (a clock, a counter) is a place of its
  // own; a few places are enough.
  if (m_drawn.size() > 16) {
    auto other = m_drawn.begin();
    if (other->first == std::make_pair(window.top, window.left)) ++other;
    m_drawn.erase(other);
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
      said.push_back(kPicture);
      m_heardOnly.push_back(kPicture);
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
    if (paragraph.image) {
      AddToTurn(kPicture, false);
      m_heardOnly.push_back(kPicture);
    }
    if (paragraph.append) {
      m_open += text;
      if (!text.empty()) m_openOnScreen = true;
    } else {
      EndOpenParagraph(out);
      m_open = text;
      m_openOnScreen = true;
    }
    if (m_open.size() > kOpenLimit) EndOpenParagraph(out);
    if (!m_firstTurnDone && m_banner.size() < kBannerLimit) {
      if (paragraph.append && !m_banner.empty()) m_banner.pop_back();
      m_banner += text.substr(0, kBannerLimit) + L"\n";
      for (const GlkSpan& span : paragraph.spans) {
        const std::wstring words = Trimmed(Printable(span.text.substr(0, kTitleLimit)));
        if (words.empty()) continue;
        if (span.style == "header" && m_title.empty()) m_title = words;
        if (span.style == "subheader" && m_titleSub.empty()) m_titleSub = words;
      }
      if (m_title.empty()) m_title = m_titleSub;
    }
    // The replayed scrollback is shown; the game's answer after it heard.
    const std::wstring trimmed = Trimmed(text);
    if (m_replaying || trimmed == kReplayStart) {
      m_replaying = trimmed != kReplayEnd;
      m_turnLineOpen = false;
      continue;
    }
    // A bare ">" is the prompt, not news; any other prompt is a question
    // the player must hear.
    if (text.empty() && paragraph.append) continue;
    if (IsBarePrompt(text)) {
      m_turnLineOpen = false;
      continue;
    }
    NoteHeading(paragraph, text);
    AddToTurn(text, paragraph.append);
  }
}

void GameView::NoteHeading(const GlkParagraph& paragraph, const std::wstring& text) {
  constexpr size_t kPartLimit = 4096;  // a heading or description longer is not one
  const GlkSpan* first = nullptr;
  for (const GlkSpan& span : paragraph.spans) {
    if (!Trimmed(span.text).empty()) {
      first = &span;
      break;
    }
  }
  if (paragraph.append) {
    // The rest of the paragraph: "Hall" then " (on the chair)".
    if (m_headingPart == HeadingPart::kHeading && m_headings.back().first.size() < kPartLimit) {
      m_headings.back().first += text.substr(0, kPartLimit);
    } else if (m_headingPart == HeadingPart::kLook && m_headings.back().second.size() < kPartLimit) {
      m_headings.back().second += text.substr(0, kPartLimit);
    }
    return;
  }
  if (first != nullptr && first->style == "subheader") {
    if (m_headings.size() >= kHeadingLimit) m_headings.erase(m_headings.begin());
    m_headings.emplace_back(text.substr(0, kPartLimit), std::wstring());
    m_headingPart = HeadingPart::kHeading;
  } else if (m_headingPart == HeadingPart::kHeading || m_headingPart == HeadingPart::kWantLook) {
    // Blank lines come between a heading and its description.
    if (Trimmed(text).empty()) {
      m_headingPart = HeadingPart::kWantLook;
      return;
    }
    m_headings.back().second = text.substr(0, kPartLimit);
    m_headingPart = HeadingPart::kLook;
  } else {
    m_headingPart = HeadingPart::kNone;
  }
}

std::vector<std::pair<std::wstring, std::wstring>> GameView::TakeHeadings() {
  std::vector<std::pair<std::wstring, std::wstring>> headings;
  headings.swap(m_headings);
  m_headingPart = HeadingPart::kNone;
  return headings;
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
