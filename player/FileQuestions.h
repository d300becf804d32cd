// SPDX-License-Identifier: GPL-3.0-or-later
// The game's file questions (save, restore, transcripts and data files),
// answered through the library's input dialog and saved-games list, each
// of which Escape cancels; a file that exists is replaced only after a
// Yes. The interpreter reads and writes only in its private folder: a file
// it is to read is lent to it there, and one it writes is placed where the
// player named it once written (GameFiles).
#ifndef NARRO_PLAYER_FILE_QUESTIONS_H_
#define NARRO_PLAYER_FILE_QUESTIONS_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "player/GlkProtocol.h"
#include "player/YesNoQuestion.h"

class CNarro;

namespace player {

class GameFiles;
class PlayerScreen;
class PlayerVoice;

class FileQuestions {
 public:
  // What the questions need of the game being played.
  class Game {
   public:
    virtual ~Game() = default;
    // The story's path: saves are named for it, other files go beside it.
    virtual const std::string& Story() const = 0;
    // The library's data folder, for files when the story's folder cannot
    // be written.
    virtual const std::string& DataFolder() const = 0;
    // The answer sent to the game: the file as the interpreter names it,
    // or nothing when the question was cancelled.
    virtual void SendFileAnswer(const std::optional<std::string>& named) = 0;
    // A spoken Yes or No question, `then` given the answer when it comes.
    virtual void Ask(const std::wstring& question, YesNoQuestion::Then then) = 0;
    // The story's saved games, listed: the one chosen, empty when none.
    virtual std::string ChooseSave() = 0;
  };

  FileQuestions(CNarro& narro, GameFiles& files, PlayerVoice& voice, PlayerScreen& screen,
                Game& game)
      : m_narro(narro), m_files(files), m_voice(voice), m_screen(screen), m_game(game) {}

  // Answers the question the game asks, now or, when a Yes or No question
  // must be answered first, when that comes. A copy: answering it ends the
  // session's.
  void Answer(GlkSpecialInput question);

  // A save chosen from the list answers the game's next question to read
  // a save, and only that one.
  void RestoreNext(const std::string& path) { m_pendingRestore = path; }
  void ForgetRestore() { m_pendingRestore.clear(); }

  // The extension of saved games: emglken's interpreters write a save
  // under the name they are given, adding this one only to a name that has
  // none.
  static constexpr char kSaveExtension[] = ".glksave";
  // The longest file name the player may type.
  static constexpr size_t kFileNameLimit = 100;

 private:
  void SaveGame();
  void RestoreGame();
  void NameOtherFile(const GlkSpecialInput& question);
  // A file the game is to write at `target`: refused with the reason said
  // when it must not be written, asked about when it exists; else `then`
  // has the name the interpreter writes it under, empty when it is not
  // written.
  void FileToWrite(const std::string& target, const std::wstring& name, bool save, bool append,
                   const std::function<void(const std::string& inside)>& then);
  // The name typed in the library's input dialog, blanks trimmed; empty on
  // Escape.
  std::wstring AskFileName(const std::string& prompt);
  void AnswerFile(const std::optional<std::string>& path);
  // A copy of the file at `path` for the game to read, or nothing, the
  // reason said, when it cannot be read ("The saved game X cannot be read").
  std::optional<std::string> LendToGame(const std::string& path, const std::wstring& what);

  CNarro& m_narro;
  GameFiles& m_files;
  PlayerVoice& m_voice;
  PlayerScreen& m_screen;
  Game& m_game;
  std::string m_pendingRestore;  // a save chosen from the list, asked for next
};

}  // namespace player

#endif  // NARRO_PLAYER_FILE_QUESTIONS_H_
