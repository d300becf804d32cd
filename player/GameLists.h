// SPDX-License-Identifier: GPL-3.0-or-later
// The player's lists through the library's dialogs: the voices, the saved
// games to restore from, and the games, with the stories of a games folder
// no database knows named first; switching to the game chosen; and what
// the databases call a story.
#ifndef NARRO_PLAYER_GAME_LISTS_H_
#define NARRO_PLAYER_GAME_LISTS_H_

#include <set>
#include <string>

#include "player/YesNoQuestion.h"

class CNarro;

namespace player {

class FileQuestions;
class KeyDecoder;
class PlayerScreen;
class PlayerVoice;
struct PlayerSettings;

class GameLists {
 public:
  // What the lists need of the game being played.
  class Game {
   public:
    virtual ~Game() = default;
    // The story's path: its saved games, and where its folder is.
    virtual const std::string& Story() const = 0;
    // The library's data folder, where the player's database is.
    virtual const std::string& DataFolder() const = 0;
    // What the story is called; empty when that is not known yet.
    virtual const std::wstring& StoryName() const = 0;
    // The game waits for a command and has answered the last one.
    virtual bool WaitsForCommand() const = 0;
    // `command` sent as though typed on an empty command line.
    virtual void EnterCommand(const std::wstring& command) = 0;
    // A spoken Yes or No question, `then` given the answer when it comes.
    virtual void Ask(const std::wstring& question, YesNoQuestion::Then then) = 0;
    // The settings as they are now kept in the settings file.
    virtual void KeepSettings() = 0;
    // The game being played ends (its interpreter stops), then the story
    // at `story` starts.
    virtual void EndGame() = 0;
    virtual void StartStory(const std::string& story) = 0;
  };

  // `settings` are this run's, `stored` those kept in the settings file:
  // a choice changes both. Keys typed while titles are read come from
  // `keys`; a save chosen to restore is `files`' next answer.
  GameLists(CNarro& narro, PlayerSettings& settings, PlayerSettings& stored, PlayerVoice& voice,
            PlayerScreen& screen, KeyDecoder& keys, FileQuestions& files, Game& game)
      : m_narro(narro),
        m_settings(settings),
        m_stored(stored),
        m_voice(voice),
        m_screen(screen),
        m_keys(keys),
        m_files(files),
        m_game(game) {}

  // The story's saved games: the one chosen, empty when none.
  std::string ChooseSave();
  // A saved game chosen from the list, restored by the game's own restore
  // command.
  void ChooseSaveToRestore();
  void ChooseVoice();
  // The games list: of the games folder when one is known, else (and with
  // chooseFolder) of a folder the player chooses first.
  void ChooseGame(bool chooseFolder);
  // True, with the name, when a database names `story`. False when the
  // player should name it: `name` is then empty, or the stand-in name the
  // player stored itself when it found no title (IsStandInName), which a
  // title found now replaces. A stand-in is offered once a run: a story
  // whose banner names nothing is not started again at every games list.
  bool KnownStoryName(const std::string& story, std::wstring& name);

 private:
  // Ends the game being played and starts the story at `path`, unless no
  // interpreter can play it.
  void SwitchGame(const std::string& path, const std::wstring& name);
  void AddUnknownStories(const std::string& folder);

  CNarro& m_narro;
  PlayerSettings& m_settings;
  PlayerSettings& m_stored;
  PlayerVoice& m_voice;
  PlayerScreen& m_screen;
  KeyDecoder& m_keys;
  FileQuestions& m_files;
  Game& m_game;
  std::set<std::string> m_standInsOffered;  // KnownStoryName
};

}  // namespace player

#endif  // NARRO_PLAYER_GAME_LISTS_H_
