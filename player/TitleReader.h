// SPDX-License-Identifier: GPL-3.0-or-later
// Titles of stories nobody has named yet, read by running each in its
// interpreter until its banner shows: a few at once, each in a cage that
// lets it write nothing at all, each given a few seconds and all of them
// together a bounded time, so that stories that never answer cannot hold
// the player.
#ifndef NARRO_PLAYER_TITLE_READER_H_
#define NARRO_PLAYER_TITLE_READER_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace player {

class TitleReader {
 public:
  struct Limits {
    size_t atOnce = 2;                               // stories running together
    std::chrono::milliseconds each{3000};            // one story's banner
    std::chrono::milliseconds whole{20000};          // all of them
  };

  // `custom` is the player's interpreter choice (InterpreterCommand).
  TitleReader(const std::string& custom, const Limits& limits);
  ~TitleReader();
  TitleReader(const TitleReader&) = delete;
  TitleReader& operator=(const TitleReader&) = delete;

  // Reads the banner title of each of `stories`; the result holds one
  // title a story, empty where none was read (no banner in time, the
  // reading stopped, the whole time spent). Between looks `serve` is
  // called with `wait` set to the descriptor it should also watch (the
  // terminal; -1 for none) and how many are done; it returns false to stop
  // the reading.
  std::vector<std::wstring> Read(const std::vector<std::string>& stories, int wait,
                                 const std::function<bool(size_t done, bool ready)>& serve);

 private:
  struct Running;
  bool Begin(Running& running, const std::string& story);

  std::string m_custom;
  Limits m_limits;
};

}  // namespace player

#endif  // NARRO_PLAYER_TITLE_READER_H_
