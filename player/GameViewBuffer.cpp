// SPDX-License-Identifier: GPL-3.0-or-later
// The game view's story windows (buffers): their paragraphs shown, heard
// as the turn's lines, the open one kept as the prompt; the banner and the
// title taken from the first turns; room headings noted for the map; and a
// window cleared and drawn again (a menu) heard for what changed.
#include <algorithm>

#include "player/GameView.h"
#include "player/GameViewText.h"
#include "player/CleanText.h"

namespace player {

namespace {

// Bocfel's bounds of the scrollback it replays after a restore.
const wchar_t kReplayStart[] = L"[Starting history playback]";
const wchar_t kReplayEnd[] = L"[End of history playback]";

bool IsBarePrompt(const std::wstring& line) { return Trimmed(line) == L">"; }

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
      AddToTurn(kPictureWords, false);
      m_heardOnly.push_back(kPictureWords);
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

}  // namespace player
