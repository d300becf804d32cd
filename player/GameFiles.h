// SPDX-License-Identifier: GPL-3.0-or-later
// The files a game reads and writes, carried between the player's folders
// and the interpreter's private one. The interpreter writes only in its
// private folder; what it wrote there reaches the place the player chose
// only whole: copied beside its target under a temporary name, flushed to
// the disk, then renamed over it, so that a full disk or an interpreter
// killed half-way leaves the file that was there as it was. A file to be
// read is lent as a copy, and the interpreter sees nothing else.
#ifndef NARRO_PLAYER_GAME_FILES_H_
#define NARRO_PLAYER_GAME_FILES_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace player {

// Why the player's file may not be written or replaced at `target`, in
// words for the player ("it is a symbolic link", "it is a folder", "it
// belongs to another user", ...); empty when it may. `exists` tells
// whether something is there.
std::string RefusalToWrite(const std::string& target, bool& exists);

// Copies the regular file `from` (never through a link, a FIFO or a
// device, at most `limit` bytes) whole into place at `to`: a temporary
// file beside it, flushed, then renamed over it, keeping the mode of the
// file it replaces. When `mayReplace` is false a file that appeared at
// `to` meanwhile is kept. False, with the reason in words in `error`
// ("the disk is full"), leaving `to` as it was.
bool PlaceWhole(const std::string& from, const std::string& to, bool mayReplace, uint64_t limit,
                std::string& error);

class GameFiles {
 public:
  // A file placed, or not, for the player to hear about.
  struct Outcome {
    std::string target;
    bool save = false;
    std::string error;  // empty when it reached its place
  };

  // Works in `folder`, the interpreter's private folder, forgetting every
  // file of the folder before.
  void Reset(const std::string& folder);

  // A copy of `source` in the private folder for the interpreter to read;
  // empty, with the reason in `error`, when it cannot be read whole.
  std::string Lend(const std::string& source, std::string& error);

  // The name in the private folder under which the interpreter is to write
  // the file meant for `target`; `replace`: the player agreed to replace
  // what is there. `append` starts it as a copy of the target. Empty, with
  // the reason in `error`, when that copy cannot be made.
  std::string Expect(const std::string& target, bool save, bool replace, bool append, std::string& error);

  // Places each file the interpreter `pid` no longer holds open; with
  // `atEnd` (the interpreter is gone) every file but saves, which reach
  // their place only while the interpreter runs on after writing them, so
  // that half a save never replaces a whole one.
  std::vector<Outcome> PlaceFinished(pid_t pid, bool atEnd);

  bool Waiting() const { return !m_pending.empty(); }

  // The files a game makes by name (glk_fileref_create_by_name: its own
  // data, kept between sessions) live in a folder of the player's for this
  // story alone: Seed copies them from `store` into the private folder
  // before the interpreter starts, and KeepMade copies what the game made
  // or changed there back, whole, when it ends, asking `store` for the
  // folder only then (naming it takes the story's CRC). Nothing else of
  // the player's is in the game's reach. False, with the reason, when
  // what is kept cannot be read.
  bool Seed(const std::string& store, std::string& error);
  std::vector<Outcome> KeepMade(const std::function<std::string()>& store);

  // The largest file lent or placed: far above any save or transcript.
  static constexpr uint64_t kFileLimit = 256ull << 20;
  // The most files a game keeps by name.
  static constexpr size_t kKeptFiles = 100;

 private:
  struct Pending {
    std::string inside;
    std::string target;
    bool save = false;
    bool replace = false;
  };

  std::string NewName(const std::string& ending);

  // The game's own files as they were copied in: what is still so needs
  // no copying back.
  struct Seeded {
    off_t size = 0;
    struct timespec modified {};
  };

  std::string m_folder;
  unsigned m_counter = 0;
  std::vector<Pending> m_pending;
  std::map<std::string, Seeded> m_seeded;
};

}  // namespace player

#endif  // NARRO_PLAYER_GAME_FILES_H_
