// SPDX-License-Identifier: GPL-3.0-or-later
// dfrotz, running one story on a pseudo-terminal of its own for the whole
// game: plain text, no MORE prompts, lines as wide as the player's terminal.
#ifndef NARRO_PLAYER_GAME_PROCESS_H_
#define NARRO_PLAYER_GAME_PROCESS_H_

#include <sys/types.h>

#include <string>

namespace player {

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts `dfrotz` on story (an absolute path, so that no name is taken
  // for an option) in folder (where saves are written), `width` columns
  // and `height` rows. False, with the reason in `error`, when it could not
  // be started; a story dfrotz then refuses shows as an early end.
  bool Start(const std::string& dfrotz, const std::string& story, const std::string& folder,
             int width, int height, std::string& error);

  bool Running() const { return m_pid > 0; }
  // The pseudo-terminal to poll; -1 when not running.
  int Fd() const { return m_fd; }
  pid_t Pid() const { return m_pid; }

  // Reads what has come. False when the game has ended (its side closed).
  bool Read(std::string& bytes);
  // Sends one line of input (a line feed is added).
  bool WriteLine(const std::string& line);

  // After the game ended: reaps it. Returns its exit code, or 128 + the
  // signal that killed it, and describes that in `how`.
  int Reap(std::string& how);
  // Ends a game that is still running: hang-up, then kill after a second.
  void Stop();

 private:
  int m_fd = -1;
  pid_t m_pid = -1;
};

}  // namespace player

#endif  // NARRO_PLAYER_GAME_PROCESS_H_
