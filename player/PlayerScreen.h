// SPDX-License-Identifier: GPL-3.0-or-later
// The player's screen. The game's text scrolls under the status area,
// which the terminal keeps on its top rows; at the bottom stands the input
// area: the game's open line (its prompt) with the command typed after it,
// or in its place a Yes or No question of the player's own. The input area
// is erased before anything is written above it and drawn again after, so
// that it always stands under the newest text, and the library's dialogs
// are handed the terminal with it erased.
#ifndef NARRO_PLAYER_PLAYER_SCREEN_H_
#define NARRO_PLAYER_PLAYER_SCREEN_H_

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace player {

class GameView;
class LineEditor;
class Terminal;
struct PlayerSettings;

class PlayerScreen {
 public:
  // Bytes typed while the terminal was asked where its cursor is: keys,
  // to be decoded with the next ones.
  using TypedAhead = std::function<void(const std::string& bytes)>;

  // Draws the view's open line and status rows (none while there is no
  // view) and the editor's line.
  PlayerScreen(Terminal& terminal, const PlayerSettings& settings,
               const std::optional<GameView>& view, const LineEditor& editor, TypedAhead typedAhead)
      : m_terminal(terminal),
        m_settings(settings),
        m_view(view),
        m_editor(editor),
        m_typedAhead(std::move(typedAhead)) {}

  // The input area drawn again, the cursor where the editor's is.
  void Redraw();
  // The status area on the screen's top rows, drawn when it changed, or
  // anew (`force`) after the terminal's size changed or a dialog had it.
  void DrawStatus(bool force);
  void EraseInputArea();
  // Writes whole lines (made safe and laid out already) where the input
  // area was; it is to be drawn again after them.
  void WriteAbove(const std::string& text);
  // Text from outside shown above the input area, drawn again under it.
  void Show(const std::wstring& text);
  // The cursor taken to a new row, the input area left above it (a resize
  // and Ctrl-L draw it afresh there).
  void NewRow();

  // A question stands in the input area's place, the cursor after it,
  // until it is answered: the answer is written after it, and the input
  // area is drawn again under them.
  void OpenQuestion(const std::wstring& text);
  void CloseQuestion(bool yes);

  // Runs a library dialog with the terminal handed over to it, and draws
  // the screen afresh after it.
  void WithDialog(const std::function<void()>& call);

 private:
  Terminal& m_terminal;
  const PlayerSettings& m_settings;
  const std::optional<GameView>& m_view;
  const LineEditor& m_editor;
  TypedAhead m_typedAhead;
  std::optional<std::wstring> m_question;   // drawn in the input area's place
  int m_cursorRow = 0;                      // the cursor's row within the input area
  std::vector<std::wstring> m_statusDrawn;  // the status rows on the screen
};

}  // namespace player

#endif  // NARRO_PLAYER_PLAYER_SCREEN_H_
