// SPDX-License-Identifier: GPL-3.0-or-later
// One game being played: the interpreter running the story in its cage and
// its private folder, the files it reads and writes there (GameFiles), the
// GlkOte conversation with it (GlkSession) and what its updates make seen
// and heard (GameView). It starts the story, sends the events and reads the
// answers, hears and shows each turn, places the files the game wrote and
// keeps those it made by name, and notices the interpreter's end and its
// faults. What the player does when the game waits for input or is over is
// not its business: it tells the player through Game.
#ifndef NARRO_PLAYER_GAME_SESSION_H_
#define NARRO_PLAYER_GAME_SESSION_H_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "player/Cage.h"
#include "player/EventLoop.h"
#include "player/GameFiles.h"
#include "player/GameView.h"
#include "player/GlkProtocol.h"
#include "player/Interpreter.h"

class CNarro;

namespace player {

class PlayerScreen;
class PlayerVoice;
class Terminal;
struct PlayerSettings;

class GameSession {
 public:
  // What the player does as the game goes.
  class Game {
   public:
    virtual ~Game() = default;
    // The player is leaving: no more of the game's output is served.
    virtual bool Done() const = 0;
    // A game is starting: what the player kept of the one before (the
    // map, the commands typed ahead, a save chosen) is forgotten.
    virtual void OnNewGame() = 0;
    // A turn was heard: `text` as said, the reply to the command that
    // made it.
    virtual void OnTurnHeard(const std::wstring& text) = 0;
    // True, with the name, when a database names `story`; else `name` is
    // empty or the stand-in to replace (GameLists::KnownStoryName).
    virtual bool KnownStoryName(const std::string& story, std::wstring& name) = 0;
    // The game waits for input (or has exited): its turn is heard and the
    // files it wrote are placed.
    virtual void OnGameWaits() = 0;
    // The game is over, its end or its fault shown and said: the player
    // leaves with `status`.
    virtual void OnGameOver(int status) = 0;
  };

  // How long the interpreter may take to answer one event (its start
  // included) before it is given up as hung.
  static constexpr std::chrono::seconds kAnswerLimit{10};

  // `dataFolder` is the library's, once known: the story's kept files are
  // there. The loop is told when an answer is due and runs the game's
  // timer.
  GameSession(CNarro& narro, const PlayerSettings& settings, const std::string& dataFolder,
              PlayerVoice& voice, PlayerScreen& screen, Terminal& terminal, EventLoop& loop,
              Game& game)
      : m_narro(narro),
        m_settings(settings),
        m_dataFolder(dataFolder),
        m_voice(voice),
        m_screen(screen),
        m_terminal(terminal),
        m_loop(loop),
        m_game(game) {}

  // Ends the game before, if any, and starts `story`. False when it could
  // not start (the fault said) or the player is leaving.
  bool Start(const std::string& story);
  // Stops the interpreter, places what it wrote and removes its folder.
  void End();
  // Stops the interpreter only: its end is noticed as any other.
  void StopInterpreter() { m_interpreter.Stop(); }

  // An event to the game, which must answer it in time.
  void Send(const std::string& event);
  // What the loop saw of the interpreter.
  void OnOutput();
  void ReadErrors() { m_interpreter.ReadErrors(); }
  // The game cannot go on: `message` and the interpreter's last words
  // shown where a program's faults go, and said; the game is over.
  void Fault(const std::string& message);

  // The terminal's size changed: the game hears of it when it has answered
  // what it was sent.
  void Resized() { m_resizeWanted = true; }
  // A resize, then the game's timer, each sent when the game may take it.
  void OnIdle(EventLoop::Clock::time_point now);
  bool Busy() const { return m_session && m_session->Busy(); }
  // The game waits for a command and has answered the last one.
  bool WaitsForCommand() const { return m_session && m_session->LineInput() && !m_session->Busy(); }
  // The game reads a single key, not a command.
  bool WaitsForKey() const {
    return m_session && m_session->CharInput() && !m_session->LineInput();
  }

  const Interpreter& Process() const { return m_interpreter; }
  GameFiles& Files() { return m_files; }
  // The conversation and the view of the game started; none before.
  GlkSession* Glk() { return m_session ? &*m_session : nullptr; }
  const GlkSession* Glk() const { return m_session ? &*m_session : nullptr; }
  GameView* View() { return m_view ? &*m_view : nullptr; }
  const std::optional<GameView>& ViewSlot() const { return m_view; }

  const std::string& Story() const { return m_story; }
  // What the story is called: spoken when the story changes.
  const std::wstring& StoryName() const { return m_storyName; }
  // Where the files `story` makes by name are kept between sessions
  // (KeptFiles.h), named with the story's CRC.
  std::string GameFilesFolder(const std::string& story);

 private:
  void OnUpdate(const GlkUpdate& update);
  void OnGameWaits();
  void OnFirstTurn();
  // The turn heard, and told the player as the reply to its command.
  void SpeakTurn();
  void OnInterpreterEnded();
  std::vector<GameFiles::Outcome> PlaceFinishedFiles();
  void TellPlaced(const std::vector<GameFiles::Outcome>& outcomes);
  // `message` where a program's faults go, the input area erased first.
  void ShowFault(const std::string& message);

  CNarro& m_narro;
  const PlayerSettings& m_settings;
  const std::string& m_dataFolder;
  PlayerVoice& m_voice;
  PlayerScreen& m_screen;
  Terminal& m_terminal;
  EventLoop& m_loop;
  Game& m_game;

  Interpreter m_interpreter;
  PrivateFolder m_private;  // the interpreter's own folder
  GameFiles m_files;        // what it reads and writes there
  std::optional<GlkSession> m_session;
  std::optional<GameView> m_view;

  std::string m_story;
  std::wstring m_storyName;
  int m_width = 80;
  int m_height = 24;
  bool m_firstTurn = true;
  bool m_resizeWanted = false;
  bool m_toldCage = false;
};

}  // namespace player

#endif  // NARRO_PLAYER_GAME_SESSION_H_
