// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameOutput.h"

#include <vector>

#include "player/Utf8Text.h"

namespace player {

const wchar_t kFileNamePrompt[] = L"Please enter a filename [";
const wchar_t kOverwritePrompt[] = L"Overwrite existing file? ";

namespace {

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The bytes at the end that may be the start of a UTF-8 sequence still
// coming: kept back so that a split character is not decoded as two bad ones.
size_t IncompleteTail(const std::string& bytes) {
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    const unsigned char c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t need = 0;
    if (c >= 0xC2 && c <= 0xDF) need = 2;
    else if (c >= 0xE0 && c <= 0xEF) need = 3;
    else if (c >= 0xF0 && c <= 0xF4) need = 4;
    return need > back ? back : 0;
  }
  return 0;
}

std::wstring FirstWord(const std::wstring& line) {
  const size_t start = line.find_first_not_of(L' ');
  if (start == std::wstring::npos) return std::wstring();
  const size_t end = line.find(L' ', start);
  return line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

}  // namespace

GameOutput::GameOutput(int width) : m_width(width) {}

std::wstring GameOutput::Add(const std::string& bytes) {
  m_undecoded += bytes;
  const size_t keep = IncompleteTail(m_undecoded);
  std::wstring raw = m_unfinishedEscape + DecodeUtf8(m_undecoded.substr(0, m_undecoded.size() - keep));
  m_undecoded.erase(0, m_undecoded.size() - keep);
  const std::wstring text = CleanGameText(raw, &m_unfinishedEscape);
  // A "sequence" this long is no terminal's: drop it rather than hold the
  // game's text back for ever.
  if (m_unfinishedEscape.size() > kEscapeLimit) m_unfinishedEscape.clear();
  m_turn += text;
  if (m_turn.size() > kTurnLimit) {
    // Cut at a line start, so the kept part begins with a whole line; the
    // search starts one before the limit so that a line beginning right at
    // it is kept.
    size_t cut = m_turn.find(L'\n', m_turn.size() - kTurnLimit - 1);
    cut = cut == std::wstring::npos ? m_turn.size() - kTurnLimit : cut + 1;
    m_turn.erase(0, cut);
  }
  return text;
}

std::wstring GameOutput::OpenLine() const {
  const size_t lineFeed = m_turn.rfind(L'\n');
  return lineFeed == std::wstring::npos ? m_turn : m_turn.substr(lineFeed + 1);
}

GameOutput::Wait GameOutput::Waiting() const {
  const std::wstring open = OpenLine();
  if (open.empty()) return Wait::kNothing;
  if (StartsWith(open, kFileNamePrompt) && EndsWith(open, L"]: ")) return Wait::kFileName;
  if (open == kOverwritePrompt) return Wait::kOverwrite;
  return Wait::kCommand;
}

bool GameOutput::HasText() const { return !m_turn.empty(); }

std::wstring GameOutput::TakeTurn(std::wstring* paragraphs) {
  std::wstring turn;
  turn.swap(m_turn);
  const size_t lineFeed = turn.rfind(L'\n');
  const std::wstring open =
      lineFeed == std::wstring::npos ? turn : turn.substr(lineFeed + 1);
  if (open == L">" || open == L"> ") {
    turn.erase(lineFeed == std::wstring::npos ? 0 : lineFeed);
  }
  if (paragraphs != nullptr) *paragraphs = UnwrapLines(turn, m_width, true);
  return UnwrapLines(turn, m_width);
}

void GameOutput::Discard() { m_turn.clear(); }

std::wstring UnwrapLines(const std::wstring& text, int width, bool keepParagraphs) {
  const std::vector<std::wstring> lines = SplitLines(text);
  std::wstring result;
  bool joining = false;
  bool paragraphEnded = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::wstring line = lines[i];
    while (!line.empty() && line.back() == L' ') line.pop_back();
    if (Trimmed(line).empty()) {
      joining = false;
      paragraphEnded = keepParagraphs && !result.empty();
      continue;
    }
    if (joining) {
      result += L' ';
      result += line.substr(line.find_first_not_of(L' '));
    } else {
      if (!result.empty()) result += paragraphEnded ? L"\n\n" : L"\n";
      result += line;
    }
    paragraphEnded = false;
    // dfrotz broke this line when the next word would not have fitted. It
    // fills a line up to the last column, so a line and a word that make
    // exactly the width together would have stayed one line: such a break
    // is the game's own.
    joining = false;
    if (i + 1 < lines.size() && width > 0) {
      const std::wstring next = FirstWord(lines[i + 1]);
      joining = !next.empty() &&
                lines[i].size() + 1 + next.size() > static_cast<size_t>(width);
    }
  }
  return result;
}

}  // namespace player
