// SPDX-License-Identifier: GPL-3.0-or-later
// The cage an interpreter runs in. A story is untrusted code, and so is the
// interpreter it drives: each runs through narro-cage (player/cage/) in a
// private folder of its own, with a few environment variables, reading
// only its program files and the story, writing only in that folder, dying
// with the player. This part decides what each cage allows; narro-cage
// enters it.
#ifndef NARRO_PLAYER_CAGE_H_
#define NARRO_PLAYER_CAGE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace player {

// What kind of program runs in the cage, which decides its system-call
// filter and its memory cap.
enum class CageKind {
  kNative,  // our own Bocfel or Glulxe: one thread, no process, no socket
  kNode,    // emglken under Node.js: threads, and a WebAssembly heap
  kOther,   // the player's own command: no filter, it may need anything
};

struct CagePlan {
  CageKind kind = CageKind::kOther;
  // The interpreter's working folder: the only place it may write, unless
  // `writable` is false (a story run only for its title writes nothing).
  std::string folder;
  bool writable = true;
  // Read beneath; read and run beneath.
  std::vector<std::string> read;
  std::vector<std::string> run;
};

// The largest file the interpreter may write (a save, a transcript).
constexpr uint64_t kCageFileLimit = 256ull << 20;

// The words that start `argv` in the cage `plan` describes: narro-cage,
// its rules, "--", then `argv`. The parent is this process. `cage` is
// narro-cage's path.
std::vector<std::string> CagedCommand(const std::string& cage, const CagePlan& plan,
                                      const std::vector<std::string>& argv);

// The environment of a caged interpreter: a search path, the locale's
// UTF-8, and its private folder as its home and its temporary folder;
// nothing of the player's own (no tokens, no NODE_OPTIONS, no
// NODE_EXTRA_CA_CERTS, which alone costs Node 40 ms a start).
std::vector<std::string> CageEnvironment(const std::string& folder);

// The system's program files every interpreter may read and run: the
// folders of programs and shared libraries, the loader's cache, and the
// few devices a program opens (/dev/null, /dev/urandom).
std::vector<std::string> SystemProgramFiles();

// What this kernel offers the cage, found out once. Empty when it offers
// everything; else one sentence for the log, such as "Cage: this kernel has
// no Landlock; interpreters can read and write all the player's files.".
std::string CageShortcomings();

// A private folder, mode 0700, made under $XDG_RUNTIME_DIR (else /tmp) and
// removed with everything in it when the object goes. Nothing in it is
// followed out of it: links are removed, not their targets.
class PrivateFolder {
 public:
  PrivateFolder() = default;
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // Makes a new one (removing the old); false, with the reason, when none
  // can be made.
  bool Make(std::string& error);
  // Removes it and everything in it.
  void Remove();
  // Its path, without a trailing '/'; empty when none was made.
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace player

#endif  // NARRO_PLAYER_CAGE_H_
