// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's keys: the command line the player types and edits, the keys
// a game that reads single keys gets, and the keys of the player's own
// (the lists, the map, the voice's rate and volume). What is typed while
// the game is still answering is held, and goes when the game next asks:
// typing ahead loses neither a command nor a key.
#ifndef NARRO_PLAYER_COMMAND_LINE_H_
#define NARRO_PLAYER_COMMAND_LINE_H_

#include <cstddef>
#include <deque>
#include <string>

#include "player/KeyDecoder.h"
#include "player/LineEditor.h"

class CNarro;

namespace player {

class GameLists;
class GameSession;
class MapAndReview;
class PlayerScreen;
class PlayerVoice;
struct PlayerSettings;

class CommandLine {
 public:
  // What the keys need of the player beyond the game and the parts.
  class Game {
   public:
    virtual ~Game() = default;
    // The key goes to the Yes or No question open, if any: false when
    // none is.
    virtual bool OnQuestionKey(const Key& key) = 0;
    // Ctrl-C: the player is asked whether to leave.
    virtual void AskToLeave() = 0;
    // The player is leaving: the keys held are not served.
    virtual bool Done() const = 0;
    // The settings as they are now kept in the settings file.
    virtual void KeepSettings() = 0;
  };

  // `settings` are this run's, `stored` those kept in the settings file:
  // the voice's rate and volume and the toggles change both.
  CommandLine(CNarro& narro, PlayerSettings& settings, PlayerSettings& stored, PlayerVoice& voice,
              PlayerScreen& screen, GameSession& session, GameLists& lists, MapAndReview& mapReview,
              Game& game)
      : m_narro(narro),
        m_settings(settings),
        m_stored(stored),
        m_voice(voice),
        m_screen(screen),
        m_session(session),
        m_lists(lists),
        m_mapReview(mapReview),
        m_game(game) {}

  // The line typed so far, drawn by the screen and filled by the map.
  LineEditor& Editor() { return m_editor; }

  void OnKey(const Key& key);
  // The game asks for input: the keys typed ahead go to it, then the
  // oldest command typed ahead, and the line takes the game's limit.
  void OnGameWaits();
  // A new game: nothing typed ahead is for it.
  void Forget();
  // `command` sent as though typed on an empty command line.
  void Enter(const std::wstring& command);

 private:
  bool SendKeyToGame(const Key& key);
  void OnFunctionKey(int number);
  void OnTypedCharacter(wchar_t ch);
  bool InsertText(const std::wstring& text);
  void SayCursorCharacter();
  void SendCommand();
  void Help();
  void InsertFromList(int type);
  void AdjustVoice(int rateStep, int volumeStep);
  void StopSpeaking();
  void ReadStatusLine();
  void ReadCommandLine();
  void ToggleEchoLastWord();
  void ToggleAnnounceRoom();

  CNarro& m_narro;
  PlayerSettings& m_settings;
  PlayerSettings& m_stored;
  PlayerVoice& m_voice;
  PlayerScreen& m_screen;
  GameSession& m_session;
  GameLists& m_lists;
  MapAndReview& m_mapReview;
  Game& m_game;

  LineEditor m_editor;
  std::wstring m_lastCommand;  // the newest line sent to the game
  // Commands typed while the game was busy, oldest first: each goes when
  // the game next asks for one. Typing ahead loses none of them.
  std::deque<std::wstring> m_heldLines;
  static constexpr size_t kHeldLineLimit = 16;
  bool m_readsKeys = false;    // the game's last request was for a key
  std::deque<Key> m_heldKeys;  // keys typed while it answered one
  static constexpr size_t kHeldKeyLimit = 64;
};

}  // namespace player

#endif  // NARRO_PLAYER_COMMAND_LINE_H_
