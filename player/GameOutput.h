// SPDX-License-Identifier: GPL-3.0-or-later
// What the game prints, as dfrotz delivers it in pieces: decoded, cleaned,
// gathered into one text per turn, and read for what the game now waits
// for (a command, a file name, a yes or no).
#ifndef NARRO_PLAYER_GAME_OUTPUT_H_
#define NARRO_PLAYER_GAME_OUTPUT_H_

#include <cstddef>
#include <string>

namespace player {

// dfrotz's own questions, asked outside the game.
extern const wchar_t kFileNamePrompt[];   // "Please enter a filename ["
extern const wchar_t kOverwritePrompt[];  // "Overwrite existing file? "

class GameOutput {
 public:
  // width: the line width dfrotz wraps at, so wrapped lines can be joined
  // again into the sentences the game wrote.
  explicit GameOutput(int width);

  // Takes bytes as they come from dfrotz (a UTF-8 sequence may be split
  // between two pieces) and returns the same text, cleaned, to show.
  std::wstring Add(const std::string& bytes);

  enum class Wait {
    kNothing,   // the last piece ended a line: the game may still print
    kCommand,   // a line was begun and left open: the game's prompt
    kFileName,  // dfrotz asks for a file name to save or restore
    kOverwrite, // dfrotz asks whether to replace a file
  };
  Wait Waiting() const;

  // True when text has come since the last TakeTurn.
  bool HasText() const;
  // The open line the game left, the prompt ("" when the last piece ended
  // a line).
  std::wstring OpenLine() const;

  // The turn's text to store and speak: lines that dfrotz wrapped are joined
  // again, each paragraph or deliberate line is one line of the result, and
  // blank lines go. A bare ">" prompt is left out; any other prompt (a
  // question) is kept, it is part of what the player must hear. Empties
  // the turn. With `paragraphs`, it also receives the same text with an
  // empty line kept where the game left blank lines, which the banner's
  // title needs.
  std::wstring TakeTurn(std::wstring* paragraphs = nullptr);

  // Forgets the turn without speaking it (dfrotz's own questions, answered
  // by the player program).
  void Discard();

  // Turns longer than this keep only their last part: a game that prints
  // megabytes without stopping must not make the player wait for all of it.
  static constexpr size_t kTurnLimit = 64 * 1024;

 private:
  static constexpr size_t kEscapeLimit = 256;

  int m_width;
  std::string m_undecoded;
  std::wstring m_unfinishedEscape;  // the start of an escape sequence still coming
  std::wstring m_turn;
};

// Joins the lines that a wrap at width split, and drops blank lines (or,
// with keepParagraphs, leaves one empty line between the lines they parted).
std::wstring UnwrapLines(const std::wstring& text, int width, bool keepParagraphs = false);

}  // namespace player

#endif  // NARRO_PLAYER_GAME_OUTPUT_H_
