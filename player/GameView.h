// SPDX-License-Identifier: GPL-3.0-or-later
// What the game's updates make seen and heard. Pure: updates in, text to
// show and utterances out; it speaks and draws nothing itself.
//
// - Story windows (buffers): each paragraph is one line of the turn, every
//   style kept as words (titles, room names, emphasis, alerts, fixed-pitch
//   text), except the echo of the player's own command.
// - The status line (line 0 of the grid window at the top) is kept for
//   reading; its first field, the room, is heard when it changes and the
//   turn did not already say it.
// - Other grid lines (quote boxes, menus) are heard when they appear or
//   change, each once; a line whose text stayed but which became
//   highlighted (a menu's cursor) is heard, one that lost it is not.
// - A picture window is said once: "A picture.".
// The turn is heard when the update that asks for input arrives.
#ifndef NARRO_PLAYER_GAME_VIEW_H_
#define NARRO_PLAYER_GAME_VIEW_H_

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "player/GlkProtocol.h"

namespace player {

class GameView {
 public:
  struct Output {
    // Whole lines to show, each ending in a line feed; the open paragraph
    // (the prompt) is not among them but in OpenLine().
    std::wstring shown;
    // Grid text to show as it changed (quote boxes, menus).
    std::wstring shownGrid;
  };

  // Applies one update: what it adds to the screen goes into `out`, what
  // it says joins the turn.
  void Apply(const GlkUpdate& update, Output& out);

  // The turn so far, a line per utterance, and forgets it. The first
  // turn's text is also kept for the story's title (FirstTurn).
  std::wstring TakeTurn();
  bool HasTurn() const { return !m_turn.empty(); }
  // Forgets the turn without hearing it.
  void DropTurn() { m_turn.clear(); }

  // The paragraph left open at the end of the story window (the prompt),
  // as shown; and the command line's place after it.
  const std::wstring& OpenLine() const { return m_open; }
  // The player's command was shown after the open line, which ended it.
  void CommandShown();

  // The status line as words ("West of House. Score 0. Moves 1."); empty
  // when the game has none.
  std::wstring StatusWords() const;
  // Whether a change of room in the status line is heard.
  void SetAnnounceRoom(bool on) { m_announceRoom = on; }
  bool AnnounceRoom() const { return m_announceRoom; }

  // The whole text of the first turns until the first input request, each
  // paragraph a line, blank lines kept as empty lines: the banner.
  const std::wstring& Banner() const { return m_banner; }
  // The first text in the "header" style, else "subheader", of the first
  // turn: the story's title as Inform prints it.
  const std::wstring& TitleSpan() const { return m_title; }

  // A turn keeps at most this much text (its last part): a game that
  // prints megabytes without stopping must not be read out for hours.
  static constexpr size_t kTurnLimit = 64 * 1024;
  // The screen is given at most this much of one update's text.
  static constexpr size_t kShownLimit = 256 * 1024;

 private:
  struct Window {
    std::string type;
    int top = 0;
    int left = 0;
    std::vector<std::wstring> lines;  // grids: each row's text
    std::vector<bool> reverse;        // grids: the row is highlighted
  };

  void UpdateWindows(const std::vector<GlkWindow>& windows, std::vector<std::wstring>& said);
  void ApplyBuffer(const GlkContent& content, Output& out);
  void ApplyGrid(const GlkContent& content, Window& window, Output& out, std::vector<std::wstring>& said);
  void AddToTurn(const std::wstring& line, bool append);
  void EndOpenParagraph(Output& out);
  int StatusWindow() const;
  std::wstring StatusText() const;

  std::map<int, Window> m_windows;
  std::wstring m_turn;
  bool m_turnLineOpen = false;  // the turn's last line may be appended to
  std::wstring m_open;
  bool m_openOnScreen = false;  // the open paragraph still needs its line feed
  int m_openWindow = -1;        // the story window it belongs to
  std::wstring m_lastRoom;
  bool m_announceRoom = true;
  bool m_firstTurnDone = false;
  std::wstring m_banner;
  std::wstring m_title;
  std::wstring m_titleSub;
};

// The status line's text as words: fields are parted by two or more
// blanks, a colon before a blank goes ("Score: 0" is "Score 0"), each field
// ends with a full stop.
std::wstring StatusLineWords(const std::wstring& line);
// Its first field, the room.
std::wstring StatusLineRoom(const std::wstring& line);

}  // namespace player

#endif  // NARRO_PLAYER_GAME_VIEW_H_
