// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's game: dfrotz running the story, the terminal, and the
// library speaking between them. One object for one run of the program.
#ifndef NARRO_PLAYER_PLAYER_H_
#define NARRO_PLAYER_PLAYER_H_

#include <chrono>
#include <optional>
#include <string>

#include "player/GameOutput.h"
#include "player/GameProcess.h"
#include "player/KeyDecoder.h"
#include "player/LineEditor.h"
#include "player/Settings.h"
#include "player/Terminal.h"

class CNarro;

namespace player {

struct PlayerSetup {
  std::string dfrotz;        // the interpreter program
  std::string story;         // absolute path of the story to start with
  std::string settingsPath;  // where the settings are kept; empty: nowhere
  PlayerSettings settings;   // as read, with this run's options applied
  PlayerSettings stored;     // as read, to keep when the options differ
};

class Player {
 public:
  Player(CNarro& narro, const PlayerSetup& setup);
  ~Player();

  // Plays until the game ends or the player leaves. Returns the program's
  // exit status: 0 at a normal end, 1 when the game could not start or
  // dfrotz died.
  int Run();

 private:
  using Clock = std::chrono::steady_clock;

  bool StartGame(const std::string& story);
  void OnGameBytes(const std::string& bytes);
  void OnGameWaiting();
  void SpeakTurn(bool first);
  void OnKey(const Key& key);
  void OnFunctionKey(int number);
  void OnTypedCharacter(wchar_t ch);
  void SendCommand(const std::wstring& line);
  void AnswerGame(const std::string& answer);

  // The keys that the library's offers hang on.
  void Help();
  void RepeatOutput();
  void InsertFromList(int type);
  void ChooseVoice();
  void ChangeRate(int step);
  void ChangeVolume(int step);
  void AdjustVoice(int rateStep, int volumeStep);
  void StopSpeaking();
  void ReadStatusLine();
  void ReadCommandLine();
  void ChooseSaveToRestore();
  void ChooseGame();
  void AskToLeave();

  // dfrotz's file questions.
  void OnFileNamePrompt();
  void SaveGameAs();
  void RestoreGame();
  // The saved-games list of the save folder; the chosen save's path, or
  // empty.
  std::string ChooseSave();
  void CancelFileQuestion(bool saving);

  // A spoken Yes or No question, answered by Y or N (Escape is No, and
  // Ctrl-C is the answer the caller gives).
  bool AskYesNo(const std::wstring& question, bool ctrlCAnswersYes = false);
  // Runs a library dialog with the terminal handed over to it.
  template <class Call> void WithDialog(Call call);

  void Say(const std::wstring& text);
  void Show(const std::wstring& text);
  void Redraw();
  void EraseInputArea();
  void KeepSettings();
  void Finish(const std::string& message);

  CNarro& m_narro;
  PlayerSetup m_setup;
  PlayerSettings& m_settings;
  Terminal m_terminal;
  GameProcess m_game;
  std::optional<GameOutput> m_output;
  KeyDecoder m_keys;
  LineEditor m_editor;

  std::string m_story;
  std::string m_crc;
  std::string m_saveFolder;
  std::string m_dataFolder;
  int m_gameWidth = 80;
  int m_gameHeight = 24;

  std::wstring m_shownOpen;     // the game's open line as shown
  int m_cursorRow = 0;          // the cursor's row within the input area
  std::wstring m_lastCommand;   // the newest line sent to the game
  bool m_firstTurn = true;
  bool m_gameWaits = false;     // the game has asked for input
  bool m_speechReady = false;
  std::string m_pendingRestore; // a save chosen from the list, asked for next
  char m_overwriteAnswer = 0;   // what dfrotz's replace question gets
  int m_statusRowsLeft = -1;    // rows of a screen dump still to come
  std::string m_statusBytes;    // the top row of that dump
  std::string m_swallow;        // the prompt dfrotz shows again after a dump
  bool m_quit = false;
  bool m_toldSettingsProblem = false;
  int m_exitStatus = 0;
  std::optional<Clock::time_point> m_settleUntil;  // an open line, maybe more to come
  std::optional<Clock::time_point> m_quietUntil;   // lines ended, nothing asked yet
  std::optional<Clock::time_point> m_escapeUntil;  // a lone ESC, maybe a key's start
};

}  // namespace player

#endif  // NARRO_PLAYER_PLAYER_H_
