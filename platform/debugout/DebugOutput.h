// The debug-output channel: the writer and listener halves of the
// DBWIN protocol, over POSIX shared memory and named semaphores that belong
// to the calling user (mode 0600), so that other users can neither read nor
// inject lines.
//
//   /DBWIN_BUFFER.<uid>        4096 bytes: 4-byte pid, then zero-terminated text
//   /DBWIN_BUFFER_READY.<uid>  posted by the listener when the buffer is free
//   /DBWIN_DATA_READY.<uid>    posted by a writer after it filled the buffer
//   /DBWIN_MUTEX.<uid>         a robust process-shared mutex: writers take turns
//   /DBWIN_LISTENER.<uid>      the live listener holds an exclusive flock on it
#ifndef NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_
#define NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// OutputDebugStringA: hands text to the running listener of this user. With
// no listener the text is dropped at once; a listener that does not free its
// buffer within 250 ms loses the text too.
void OutputDebugString(const std::string& text);

constexpr size_t kDebugBufferSize = 4096;
constexpr size_t kDebugTextCapacity = kDebugBufferSize - 4;

struct DebugMessage {
  uint32_t pid = 0;
  std::string text;
};

// The one listener of this user. Starting it fails with "already exists"
// while another live listener runs; objects left behind by a crashed
// listener are removed and made anew.
class DebugOutputListener {
 public:
  static std::unique_ptr<DebugOutputListener> Start(std::string* error);
  ~DebugOutputListener();

  DebugOutputListener(const DebugOutputListener&) = delete;
  DebugOutputListener& operator=(const DebugOutputListener&) = delete;

  // Frees the buffer for the next writer if it is not free yet, then waits
  // up to timeoutMs for a message. False when none came.
  bool Receive(DebugMessage* message, int timeoutMs);

 private:
  struct Objects;
  explicit DebugOutputListener(std::unique_ptr<Objects> objects);

  std::unique_ptr<Objects> m_objects;
  bool m_bufferOffered = false;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_DEBUG_OUTPUT_H_
