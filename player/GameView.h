// SPDX-License-Identifier: GPL-3.0-or-later
// What the game's updates make seen and heard. Pure: updates in, text to
// show and utterances out; it speaks and draws nothing itself.
//
// - Story windows (buffers): each paragraph is one line of the turn, every
//   style kept as words (titles, room names, emphasis, alerts, fixed-pitch
//   text), except the echo of the player's own command.
// - The status area (the grid window at the top while it is at most
//   kStatusRows high: Inform's one line, TADS's two) is kept for reading
//   and drawing. Once play has begun, its first field, the room, is heard
//   when it changes and the turn did not already say it; a score is heard
//   as it changes ("Score 35, up 25."); its other lines when they change.
//   Games redraw it afresh each turn, and while they read single keys
//   (a menu) it holds the menu's title: what is heard is compared with
//   what was heard before in the same mode, not with the window's past.
// - Other grid lines (quote boxes, menus) are heard when they appear or
//   change, each once; a line whose text stayed but which became
//   highlighted (a menu's cursor) is heard, one that lost it is not.
// - A window cleared and drawn again with mostly the same lines (a menu
//   of TADS, redrawn at every key) is heard for what changed; a list
//   marked with ">" says which line is marked ("Hints, selected.").
// - Bocfel's replay of the saved scrollback after a restore is shown, not
//   heard: the player hears the game's answer.
// - A picture window is said once: "A picture.".
// The turn is heard when the update that asks for input arrives.
//
// GameView.cpp keeps the windows and the turn and hands each window's
// content to the handling of its kind: the story windows' in
// GameViewBuffer.cpp, the grid windows' (the status area among them) in
// GameViewGrid.cpp.
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
  // The room headings printed since they were last taken (paragraphs
  // whose first words are in the "subheader" style, as Inform prints a
  // room's name) and, with each, the paragraph after it: the room's
  // description. At most kHeadingLimit, the last ones. For the map.
  std::vector<std::pair<std::wstring, std::wstring>> TakeHeadings();
  static constexpr size_t kHeadingLimit = 16;
  // What the turn says that the screen's text does not (a room or a score
  // from the status line, "A picture."), a line each, and forgets it: for
  // a player whose screen reader reads the screen.
  std::vector<std::wstring> TakeHeardOnly();

  // The paragraph left open at the end of the story window (the prompt),
  // as shown; and the command line's place after it.
  const std::wstring& OpenLine() const { return m_open; }
  // The player's command was shown after the open line, which ended it.
  void CommandShown();
  // Ends the open paragraph, putting it among the lines to show: the game
  // has ended and will not end it.
  void EndOpenParagraph(Output& out);

  // The status area as words ("West of House. Score 0. Moves 1."), every
  // line of it; empty when the game has none.
  std::wstring StatusWords() const;
  // The status area's rows as the game drew them, for the screen's top.
  std::vector<std::wstring> StatusRows() const;
  static constexpr size_t kStatusRows = 3;
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
  // A paragraph that never ends is shown in lines of at most this much,
  // not redrawn whole under the command line at every update.
  static constexpr size_t kOpenLimit = 16 * 1024;
  // The banner kept for the story's title, and the title itself.
  static constexpr size_t kBannerLimit = 64 * 1024;
  static constexpr size_t kTitleLimit = 1024;
  // Windows kept; a game with more is hostile or broken, and the rest of
  // them go unseen and unheard, which the player is told once.
  static constexpr size_t kWindowLimit = 256;

 private:
  struct Window {
    GlkWindowKind kind = GlkWindowKind::kOther;
    int top = 0;
    int left = 0;
    std::vector<std::wstring> lines;  // grids: each row's text
    std::vector<bool> reverse;        // grids: the row is highlighted
  };

  // The windows and the turn (GameView.cpp).
  void UpdateWindows(const std::vector<GlkWindow>& windows, std::vector<std::wstring>& said);
  void AddToTurn(const std::wstring& line, bool append);
  void TooManyWindows(std::vector<std::wstring>& said);

  // Story windows (GameViewBuffer.cpp).
  void ApplyBufferWindow(const GlkContent& content, const GlkUpdate& update, const Window& window, Output& out);
  void ApplyBuffer(const GlkContent& content, Output& out);
  void NoteHeading(const GlkParagraph& paragraph, const std::wstring& text);
  // A cleared window's lines against its last drawing at that place.
  void HearRedrawn(const GlkContent& content, const Window& window, size_t turnBefore);

  // Grid windows and the status area (GameViewGrid.cpp).
  void ApplyGrid(const GlkContent& content, Window& window, Output& out, std::vector<std::wstring>& said);
  int StatusWindow() const;
  // Hears the status area's changes; `readsKeys`: the game waits for a
  // single key, not a command.
  void HearStatus(bool readsKeys, size_t turnStart, std::vector<std::wstring>& said);

  std::map<int, Window> m_windows;
  std::wstring m_turn;
  bool m_turnLineOpen = false;  // the turn's last line may be appended to
  std::wstring m_open;
  bool m_openOnScreen = false;  // the open paragraph still needs its line feed
  int m_openWindow = -1;        // the story window it belongs to
  std::wstring m_lastRoom;
  std::vector<std::pair<std::wstring, std::wstring>> m_headings;
  enum class HeadingPart { kNone, kHeading, kWantLook, kLook } m_headingPart = HeadingPart::kNone;
  bool m_announceRoom = true;
  std::vector<std::wstring> m_statusHeard;  // its rows, as last heard at a command
  std::vector<std::wstring> m_keysHeard;    // and while the game reads keys
  bool m_hasScore = false;
  long m_score = 0;
  bool m_replaying = false;  // inside the interpreter's replay of history
  bool m_toldWindows = false;
  std::vector<std::wstring> m_heardOnly;
  std::map<std::pair<int, int>, std::vector<std::vector<std::wstring>>> m_drawn;  // cleared windows' last drawings by place
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
// The score it shows ("Score: 35", or TADS's "35/12" of score and turns);
// false when it shows none.
bool StatusLineScore(const std::wstring& line, long& score);
// What is said when the score changes: "Score 35, up 25."
std::wstring ScoreChangeWords(long before, long now);

}  // namespace player

#endif  // NARRO_PLAYER_GAME_VIEW_H_
