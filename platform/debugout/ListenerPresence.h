// SPDX-License-Identifier: GPL-3.0-or-later
// The listener lock file holds one word that is 1 while a listener runs, so
// that a writer learns that nobody listens without a system call: the log
// of a scan writes thousands of lines, almost always with no listener.
#ifndef NARRO_PLATFORM_DEBUGOUT_LISTENER_PRESENCE_H_
#define NARRO_PLATFORM_DEBUGOUT_LISTENER_PRESENCE_H_

#include <atomic>
#include <cstdint>

namespace platform {

// Writer side. False when certainly no listener runs. A crashed listener
// leaves the word set; the writer's full check then finds that nobody holds
// the listener lock. *generation, when given, is bumped by every listener
// that starts: a writer that gave up on one listener tries the next at once.
bool ListenerMayBeRunning(uint32_t* generation = nullptr);

// Listener side: sets the word of the lock file it holds for as long as it
// lives, and bumps the generation. lockFd must have passed CheckOwnObject.
class PresenceMark {
 public:
  explicit PresenceMark(int lockFd);
  ~PresenceMark();
  PresenceMark(const PresenceMark&) = delete;
  PresenceMark& operator=(const PresenceMark&) = delete;

 private:
  std::atomic<uint32_t>* m_word = nullptr;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_LISTENER_PRESENCE_H_
