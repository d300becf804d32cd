// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/LineEditor.h"

#include <cwctype>

namespace player {

bool LineEditor::Insert(const std::wstring& text) {
  const size_t room = m_limit > m_text.size() ? m_limit - m_text.size() : 0;
  const std::wstring part = text.substr(0, room);
  m_text.insert(m_cursor, part);
  m_cursor += part.size();
  return part.size() == text.size();
}

bool LineEditor::InsertWord(const std::wstring& word) {
  if (word.empty()) return true;
  std::wstring text = word;
  if (m_cursor > 0 && !std::iswspace(static_cast<wint_t>(m_text[m_cursor - 1]))) text.insert(0, 1, L' ');
  if (m_cursor >= m_text.size() || !std::iswspace(static_cast<wint_t>(m_text[m_cursor]))) text += L' ';
  const size_t room = m_limit > m_text.size() ? m_limit - m_text.size() : 0;
  if (text.size() > room) return false;
  return Insert(text);
}

std::wstring LineEditor::Bare(const std::wstring& word) {
  // Beyond ASCII, whatever the locale does not call a mark or a blank
  // counts as a letter: in the C locale an é is neither, and café must
  // keep it.
  const auto isWordCharacter = [](wchar_t ch) {
    const auto c = static_cast<wint_t>(ch);
    if (std::iswalnum(c)) return true;
    return ch > 0x7f && !std::iswpunct(c) && !std::iswspace(c) && !std::iswcntrl(c);
  };
  size_t first = 0;
  while (first < word.size() && !isWordCharacter(word[first])) ++first;
  size_t end = word.size();
  while (end > first && !isWordCharacter(word[end - 1])) --end;
  return word.substr(first, end - first);
}

wchar_t LineEditor::Backspace() {
  if (m_cursor == 0) return 0;
  const wchar_t removed = m_text[m_cursor - 1];
  m_text.erase(m_cursor - 1, 1);
  --m_cursor;
  return removed;
}

wchar_t LineEditor::Delete() {
  if (m_cursor >= m_text.size()) return 0;
  const wchar_t removed = m_text[m_cursor];
  m_text.erase(m_cursor, 1);
  return removed;
}

void LineEditor::Left() {
  if (m_cursor > 0) --m_cursor;
}

void LineEditor::Right() {
  if (m_cursor < m_text.size()) ++m_cursor;
}

void LineEditor::Home() { m_cursor = 0; }

void LineEditor::End() { m_cursor = m_text.size(); }

void LineEditor::Show(const std::wstring& text) {
  m_text = text;
  m_cursor = m_text.size();
}

void LineEditor::Up() {
  if (m_recalled == 0) return;
  if (m_recalled == m_history.size()) m_typing = m_text;
  --m_recalled;
  Show(m_history[m_recalled]);
}

void LineEditor::Down() {
  if (m_recalled >= m_history.size()) return;
  ++m_recalled;
  Show(m_recalled == m_history.size() ? m_typing : m_history[m_recalled]);
}

bool LineEditor::Replace(const std::wstring& text) {
  if (text.size() > m_limit) return false;
  Enter();
  m_text = text;
  m_cursor = m_text.size();
  return true;
}

std::wstring LineEditor::Enter() {
  std::wstring line;
  line.swap(m_text);
  m_cursor = 0;
  m_typing.clear();
  if (!line.empty() && (m_history.empty() || m_history.back() != line)) {
    m_history.push_back(line);
    if (m_history.size() > kHistoryLimit) m_history.erase(m_history.begin());
  }
  m_recalled = m_history.size();
  return line;
}

}  // namespace player
