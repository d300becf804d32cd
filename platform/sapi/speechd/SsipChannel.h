// SPDX-License-Identifier: GPL-3.0-or-later
// One connection to speech-dispatcher, spoken in SSIP by Narro itself.
//
// libspeechd is not used to talk: it ends the process (exit() from its own
// reading thread) on any reply it cannot parse, reads a reply with no
// bound on its whole length or time, and keeps a thread per connection.
// Here a reply that is not SSIP, too long, or not complete by its deadline
// only makes the connection lost; nothing is read on any thread but the
// caller's, and nothing waits past a deadline the caller gives.
//
// SSIP: commands end in CR LF; a reply is lines "NNN-text" ended by one
// "NNN text"; notifications (7xx, after SET SELF NOTIFICATION) come the
// same way at any time between replies and are kept for TakeEvents.
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SSIP_CHANNEL_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SSIP_CHANNEL_H_

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using SsipClock = std::chrono::steady_clock;

struct SsipReply {
  int code = 0;                    // of the final line
  std::vector<std::string> lines;  // the text of every "NNN-" line
};

// 701 begin, 702 end, 703 cancel (others are kept too).
struct SsipNotice {
  int code = 0;
  int message = 0;
};

class SsipChannel {
 public:
  // The longest line taken from the server; a longer one ends the
  // connection as a malformed reply would.
  static constexpr size_t kMaxLineBytes = 4096;

  // Connects to speech-dispatcher's default address (SPEECHD_ADDRESS, else
  // its socket in XDG_RUNTIME_DIR), starting it as libspeechd would
  // (speech-dispatcher --spawn) when nobody listens on a Unix socket, and
  // names the client. Null, with *error, when that is not done by deadline
  // (then "no answer within <limitMs> ms") or fails.
  static std::unique_ptr<SsipChannel> Open(const std::string& connectionName,
                                           SsipClock::time_point deadline, long limitMs,
                                           std::string* error);
  ~SsipChannel();
  SsipChannel(const SsipChannel&) = delete;
  SsipChannel& operator=(const SsipChannel&) = delete;

  enum class Result { kOk, kLost, kTooLong };

  // Sends the command and reads its whole reply by deadline. kTooLong: the
  // reply ran past maxLines, and the connection cannot be used any more.
  // kLost: closed, malformed or late; the connection is no use either.
  // Either way reply->lines holds the lines that came before.
  Result Command(const std::string& line, SsipClock::time_point deadline, SsipReply* reply,
                 size_t maxLines = 64);
  // SPEAK with text (CR LF line ends, dots escaped); the message id, or 0
  // when the server refused it. False when the connection is lost.
  bool Speak(const std::string& text, SsipClock::time_point deadline, int* message);

  // Reads whatever is there without waiting. False when the server hung
  // up or sent what is not SSIP.
  bool ReadAvailable();
  std::deque<SsipNotice> TakeEvents();

  // For poll(): readable when ReadAvailable has something to read.
  int fd() const { return m_fd; }

 private:
  explicit SsipChannel(int fd) : m_fd(fd) {}
  bool SendAll(const std::string& bytes, SsipClock::time_point deadline);
  // Appends what the socket has, first waiting for it until deadline when
  // asked. False when closed, failed or (waiting) late.
  bool Fill(bool wait, SsipClock::time_point deadline);
  // Takes the whole lines read so far: events are kept, a reply is put in
  // m_reply. False when a line is not SSIP or a reply passes maxLines
  // (*tooLong then).
  bool TakeLines(size_t maxLines, bool* tooLong);

  int m_fd = -1;
  std::string m_buffer;
  std::vector<std::string> m_pending;  // "NNN-" lines of the message under way
  bool m_replyReady = false;
  SsipReply m_reply;
  std::deque<SsipNotice> m_events;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SSIP_CHANNEL_H_
