// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's map and review: what the player learns of the story's
// rooms as it is played, asked for by keys (the ways from here, a route
// to a room known, the rooms with ways not tried), and the past turns read
// again, whole or a paragraph at a time, without leaving the command line.
// Its lists are the player's own, spoken entry by entry: the library's
// lists show only what the library keeps. The map is kept between
// sessions in the data folder, one file a story.
#ifndef NARRO_PLAYER_MAP_AND_REVIEW_H_
#define NARRO_PLAYER_MAP_AND_REVIEW_H_

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "player/GameMap.h"

namespace player {

class GameView;
class LineEditor;
class PlayerScreen;
class PlayerVoice;
struct Key;
struct PlayerSettings;

class MapAndReview {
 public:
  // What the map needs of the game being played.
  class Game {
   public:
    virtual ~Game() = default;
    // The story's path, and the folder its own files are kept in, whose
    // name (the story's stem and CRC) the map file takes.
    virtual const std::string& Story() const = 0;
    virtual std::string GameFilesFolder(const std::string& story) = 0;
    // The library's data folder, where the maps are; empty when unknown.
    virtual const std::string& DataFolder() const = 0;
    // The game reads a single key, not a command.
    virtual bool WaitsForKey() const = 0;
  };

  // A route chosen is put on `editor`'s command line, drawn on `screen`.
  MapAndReview(const PlayerSettings& settings, PlayerVoice& voice, PlayerScreen& screen,
               LineEditor& editor, Game& game)
      : m_settings(settings), m_voice(voice), m_screen(screen), m_editor(editor), m_game(game) {}

  // A new game: the last one's map, turns and lists are forgotten; its
  // map is read when the game first asks for a command.
  void Forget();
  // The command sent, whose reply is gathered next.
  void NoteCommand(const std::wstring& command) { m_turnCommand = command; }
  // The reply so far of the turn under way, as heard.
  void NoteReply(const std::wstring& text);
  // The game asks for the next command: the turn is over, and the map and
  // the review learn it from what `view` gathered.
  void EndOfTurn(GameView& view);

  void SayWaysFromHere();
  void OpenRouteList();
  void OpenUnexploredList();
  void OpenReviewList();
  // A paragraph of the past replies, back (-1) or on (1) from the last one
  // heard so.
  void StepParagraph(int step);
  void SayRoomDescription();
  void SkipToLastParagraph();
  // The keys of a spoken list while one is open; false for a key that is
  // not the list's (the list is then closed).
  bool ListOpen() const { return m_list.has_value(); }
  bool OnListKey(const Key& key);

 private:
  void OpenMap(const std::string& story);
  void KeepMap();
  void SayListEntry();
  void ChooseListEntry();
  void GoTowards(int room);

  const PlayerSettings& m_settings;
  PlayerVoice& m_voice;
  PlayerScreen& m_screen;
  LineEditor& m_editor;
  Game& m_game;
  // The map of the story being played, and where it is kept (empty: not
  // kept, the file being unfit or the folder unknown).
  GameMap m_map;
  std::string m_mapPath;
  bool m_mapChanged = false;
  bool m_mapOpened = false;
  bool m_toldMapProblem = false;
  std::wstring m_mapProblem;   // the map file refused, said once
  std::wstring m_turnCommand;  // the command whose reply is being gathered
  std::wstring m_reply;        // that reply, as heard
  std::wstring m_roomLook;     // the newest room heading and description
  struct PastTurn {
    std::wstring command;
    std::vector<std::wstring> paragraphs;
  };
  std::deque<PastTurn> m_past;  // newest last
  size_t m_pastChars = 0;
  static constexpr size_t kPastLimit = 200;           // turns
  static constexpr size_t kPastCharLimit = 1u << 20;  // and characters
  size_t m_stepTurn = 0;       // StepParagraph's place: a turn of m_past
  size_t m_stepParagraph = 0;  // and a paragraph of it, the next one on
  bool m_stepping = false;
  // A list of the player's own, spoken entry by entry.
  struct SpokenList {
    enum class Kind { kRoute, kUnexplored, kReview } kind = Kind::kRoute;
    std::vector<std::wstring> entries;
    std::vector<int> values;
    size_t at = 0;
  };
  std::optional<SpokenList> m_list;
};

}  // namespace player

#endif  // NARRO_PLAYER_MAP_AND_REVIEW_H_
