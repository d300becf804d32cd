// SPDX-License-Identifier: GPL-3.0-or-later
// The debug-output channel: the writer and listener halves of the
// DBWIN protocol, over POSIX shared memory that belongs to the calling user
// (mode 0600, checked after every open), so that other users can neither
// read nor inject lines.
//
//   /DBWIN_BUFFER.<uid>    4096 bytes: 4-byte pid, then zero-terminated text
//   /DBWIN_CONTROL.<uid>   the events BUFFER_READY and DATA_READY and the
//                          writers' lock (DebugControl)
//   /DBWIN_LISTENER.<uid>  the live listener holds an exclusive flock on it
#ifndef NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_
#define NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

constexpr size_t kDebugBufferSize = 4096;
constexpr size_t kDebugTextCapacity = kDebugBufferSize - 4;

// OutputDebugStringA: hands text to the running listener of this user. With
// no listener the text is dropped at once; a listener that does not free its
// buffer within 250 ms loses the text too, and the process then drops its
// lines without waiting for a second, unless another listener starts. Text
// longer than the buffer goes in pieces of kDebugTextCapacity - 1 bytes.
void OutputDebugString(const std::string& text);

enum class DebugWriteResult {
  kSent,
  kNoListener,
  kSkipped,   // dropped at once: the listener timed out a moment ago
  kTimedOut,  // dropped after waiting (with the pieces not yet sent)
  kRefused,   // an object is not this user's, mode 0600, of its size
};

// OutputDebugString, telling what became of the text.
DebugWriteResult WriteDebugOutput(const std::string& text);

struct DebugMessage {
  uint32_t pid = 0;
  std::string text;
};

// The one listener of this user. Starting it fails with "already exists"
// while another live listener runs; objects left behind by a crashed
// listener are removed and made anew. An object of our names that is not
// this user's with mode 0600 is left alone and Start fails, naming it.
class DebugOutputListener {
 public:
  static std::unique_ptr<DebugOutputListener> Start(std::string* error);
  ~DebugOutputListener();

  DebugOutputListener(const DebugOutputListener&) = delete;
  DebugOutputListener& operator=(const DebugOutputListener&) = delete;

  // Frees the buffer for the next writer if it is not free yet, then waits
  // up to timeoutMs for a message. False when none came. A writer that died
  // after taking the buffer is noticed while waiting: the buffer is offered
  // again.
  bool Receive(DebugMessage* message, int timeoutMs);

 private:
  struct Objects;
  explicit DebugOutputListener(std::unique_ptr<Objects> objects);
  void OfferAgainIfLost();

  std::unique_ptr<Objects> m_objects;
  bool m_bufferOffered = false;
  int64_t m_offeredAtNs = 0;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_
