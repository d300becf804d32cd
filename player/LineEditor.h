// SPDX-License-Identifier: GPL-3.0-or-later
// The player's command line: the text typed so far, the cursor in it, and
// the earlier commands that Up and Down bring back. It only edits; the
// player speaks and draws.
#ifndef NARRO_PLAYER_LINE_EDITOR_H_
#define NARRO_PLAYER_LINE_EDITOR_H_

#include <cstddef>
#include <string>
#include <vector>

namespace player {

class LineEditor {
 public:
  const std::wstring& Text() const { return m_text; }
  size_t Cursor() const { return m_cursor; }

  // Puts text at the cursor and moves the cursor after it. What would grow
  // the line past its limit is left out, and the result is then false.
  bool Insert(const std::wstring& text);
  // Puts a word chosen from a list at the cursor as a word of the command:
  // a space before it when it would join the text before, and one after
  // it when it would join what follows or ends the line, so that what the
  // player types next is a word of its own. All or nothing: false, and the
  // line as it was, when it would not fit.
  bool InsertWord(const std::wstring& word);
  // A word of the game's text as the player would type it: the marks
  // around it gone ("that!" is that, "(lamp)" is lamp), those inside kept
  // (don't, north-east). Empty when it holds no letter or digit.
  static std::wstring Bare(const std::wstring& word);
  // The longest line the game takes (at most kLineLimit).
  void SetLimit(size_t limit) { m_limit = limit < kLineLimit ? limit : kLineLimit; }
  size_t Limit() const { return m_limit; }
  // The character under the cursor; 0 at the end of the line.
  wchar_t AtCursor() const { return m_cursor < m_text.size() ? m_text[m_cursor] : 0; }
  // Removes the character before the cursor; returns it, or 0 when the
  // cursor stands at the start.
  wchar_t Backspace();
  // Removes the character under the cursor; 0 at the end.
  wchar_t Delete();
  void Left();
  void Right();
  void Home();
  void End();
  // Earlier and later commands. The line being typed is kept and comes back
  // below the newest command.
  void Up();
  void Down();

  // The line becomes `text`, the cursor at its end; a line typed before is
  // kept in the history, for Up to bring back. False, and the line as it
  // was, when the text is longer than the limit.
  bool Replace(const std::wstring& text);

  // Ends the line: returns it, keeps it in the history (unless empty or the
  // same as the newest), and starts an empty one.
  std::wstring Enter();

  // The history holds at most this many commands; the oldest go first.
  static constexpr size_t kHistoryLimit = 500;
  // No line is longer than this, whatever the game asks for.
  static constexpr size_t kLineLimit = 1000;

 private:
  void Show(const std::wstring& text);

  std::wstring m_text;
  size_t m_cursor = 0;
  size_t m_limit = kLineLimit;
  std::vector<std::wstring> m_history;
  size_t m_recalled = 0;  // == m_history.size(): the line being typed
  std::wstring m_typing;  // that line while an older one is shown
};

}  // namespace player

#endif  // NARRO_PLAYER_LINE_EDITOR_H_
