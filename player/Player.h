// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's game: a GlkOte interpreter running the story, the terminal,
// and the library speaking between them. One object for one run of the
// program, which hands the work to its parts and keeps what joins them.
// The one event loop is EventLoop, which hands what came to this object.
// What is heard and the player's messages go through PlayerVoice, what is
// drawn through PlayerScreen; FileQuestions answers the game's file
// questions, GameLists holds the lists (voices, saved games, games) and
// switches games. GameSession runs the game: the interpreter, its files
// and its updates. CommandLine takes the keys: the command line, the keys
// a game reads, the player's own. MapAndReview keeps the map and the past
// turns. What each event means and what follows when the game waits live
// in Player.cpp, the Yes or No questions in PlayerQuestions.cpp.
#ifndef NARRO_PLAYER_PLAYER_H_
#define NARRO_PLAYER_PLAYER_H_

#include <optional>
#include <string>
#include <vector>

#include "player/CommandLine.h"
#include "player/EventLoop.h"
#include "player/FileQuestions.h"
#include "player/GameLists.h"
#include "player/GameSession.h"
#include "player/KeyDecoder.h"
#include "player/MapAndReview.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
#include "player/Settings.h"
#include "player/Terminal.h"
#include "player/YesNoQuestion.h"

class CNarro;

namespace player {

struct PlayerSetup {
  std::string story;         // absolute path of the story to start with
  std::string settingsPath;  // where the settings are kept; empty: nowhere
  bool settingsWritable = true;  // false: the file was refused and stays as it is
  PlayerSettings settings;   // as read, with this run's options applied
  PlayerSettings stored;     // as read, to keep when the options differ
};

class Player : private EventLoop::Events,
               private GameSession::Game,
               private CommandLine::Game,
               private FileQuestions::Game,
               private GameLists::Game,
               private MapAndReview::Game {
 public:
  Player(CNarro& narro, const PlayerSetup& setup);
  ~Player();

  // Plays until the game ends or the player leaves. Returns the program's
  // exit status: 0 at a normal end, 1 when the game could not start or the
  // interpreter failed, 128 + a signal that ended it.
  int Run();

 private:
  using Clock = EventLoop::Clock;

  // What the loop hands over (Player.cpp).
  void OnSignals(const std::vector<int>& numbers) override;
  void OnInterpreterErrors() override;
  void OnInterpreterOutput() override;
  void OnKey(const Key& key) override;
  void OnAnswerOverdue() override;
  // A resize, then the game's timer, each sent when the game may take it.
  void OnIdle(Clock::time_point now) override;
  bool GameBusy() const override;
  bool Done() const override { return m_quit; }
  bool BeginPlay();
  void OnResize();

  // What the game session tells (Player.cpp).
  void OnNewGame() override;
  void OnTurnHeard(const std::wstring& text) override { m_mapReview.NoteReply(text); }
  bool KnownStoryName(const std::string& story, std::wstring& name) override {
    return m_lists.KnownStoryName(story, name);
  }
  // The commands and keys typed ahead go, or the game's file question is
  // answered.
  void OnGameWaits() override;
  void OnGameOver(int status) override;

  // The game's file question, to FileQuestions (Player.cpp).
  void OnFileQuestion();

  // What the parts ask of the game being played (Player.cpp).
  const std::string& Story() const override { return m_game.Story(); }
  const std::wstring& StoryName() const override { return m_game.StoryName(); }
  const std::string& DataFolder() const override { return m_dataFolder; }
  bool WaitsForCommand() const override { return m_game.WaitsForCommand(); }
  bool WaitsForKey() const override { return m_game.WaitsForKey(); }
  void EnterCommand(const std::wstring& command) override { m_commandLine.Enter(command); }
  void SendFileAnswer(const std::optional<std::string>& named) override;
  void Ask(const std::wstring& question, YesNoQuestion::Then then) override;
  std::string ChooseSave() override { return m_lists.ChooseSave(); }
  void EndGame() override { m_game.StopInterpreter(); }
  void StartStory(const std::string& story) override { m_game.Start(story); }
  std::string GameFilesFolder(const std::string& story) override {
    return m_game.GameFilesFolder(story);
  }

  // The player's own questions (PlayerQuestions.cpp).
  // Asks a spoken Yes or No question, answered by Y or N (Escape is No,
  // and Ctrl-C is the answer the caller gives); the loop goes on serving
  // the game meanwhile, and `then` has the answer when it comes.
  void AskYesNo(const std::wstring& question, YesNoQuestion::Then then, bool ctrlCAnswersYes = false);
  // The key to the question open: false when none is.
  bool OnQuestionKey(const Key& key) override;
  // Ctrl-C: a second one, or Y, leaves.
  void AskToLeave() override;
  void AnswerQuestion(bool yes);

  // (Player.cpp)
  void KeepSettings() override;

  CNarro& m_narro;
  PlayerSetup m_setup;
  PlayerSettings& m_settings;
  PlayerSettings m_saved;  // what the settings file holds now
  PlayerVoice m_voice{m_narro, m_settings,
                      [this](const std::wstring& text) { m_screen.Show(text); }};
  Terminal m_terminal;
  std::string m_dataFolder;
  // The loop and the screen are made just after it, before it is used.
  GameSession m_game{m_narro,  m_settings, m_dataFolder, m_voice,
                     m_screen, m_terminal, m_loop,       *this};
  EventLoop m_loop{m_game.Process(), *this};
  // The screen, the lists and the map are made just after it, before its
  // first key.
  CommandLine m_commandLine{m_narro, m_settings, m_setup.stored, m_voice, m_screen,
                            m_game,  m_lists,    m_mapReview,    *this};
  PlayerScreen m_screen{m_terminal, m_settings, m_game.ViewSlot(), m_commandLine.Editor(),
                        [this](const std::string& bytes) { m_loop.FeedTyped(bytes); }};
  FileQuestions m_fileQuestions{m_narro, m_game.Files(), m_voice, m_screen, *this};
  GameLists m_lists{m_narro,  m_settings,    m_setup.stored,  m_voice,
                    m_screen, m_loop.Keys(), m_fileQuestions, *this};
  MapAndReview m_mapReview{m_settings, m_voice, m_screen, m_commandLine.Editor(), *this};

  std::optional<YesNoQuestion> m_question;  // the question open, if any
  bool m_fileQuestionWaits = false;  // the game's, until that one is answered
  bool m_quit = false;
  bool m_toldSettingsProblem = false;
  int m_exitStatus = 0;
};

}  // namespace player

#endif  // NARRO_PLAYER_PLAYER_H_
