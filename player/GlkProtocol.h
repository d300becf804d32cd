// SPDX-License-Identifier: GPL-3.0-or-later
// The GlkOte protocol as a RemGlk interpreter speaks it on its standard
// input and output: JSON objects both ways. This part is pure: bytes in,
// updates out; events in, bytes out. It starts and reads no process.
#ifndef NARRO_PLAYER_GLK_PROTOCOL_H_
#define NARRO_PLAYER_GLK_PROTOCOL_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player {

// One run of text in one style ("normal", "subheader", "input", ...).
struct GlkSpan {
  std::string style;
  std::wstring text;
  bool reverse = false;  // shown in reverse video (css_styles reverse)
};

// A buffer window's paragraph: continues the last one when `append`.
struct GlkParagraph {
  bool append = false;
  std::vector<GlkSpan> spans;
  bool image = false;  // held a picture
};

struct GlkGridLine {
  int line = 0;
  std::vector<GlkSpan> spans;
};

// A window's kind, read once from the protocol's name for it, so that
// what each kind does is chosen by a switch, not by comparing strings.
enum class GlkWindowKind {
  kBuffer,    // "buffer": a story window of paragraphs
  kGrid,      // "grid": rows of fixed-width text (a status line, a menu)
  kGraphics,  // "graphics": a picture
  kPair,      // "pair": two windows' arrangement, showing nothing itself
  kOther,     // a name this player does not know
};
GlkWindowKind WindowKindOf(const std::string& type);

struct GlkWindow {
  int id = 0;
  std::string type;  // "buffer", "grid", "graphics", "pair"
  GlkWindowKind kind = GlkWindowKind::kOther;  // what `type` names
  int rock = 0;
  int top = 0;
  int left = 0;
  int width = 0;
  int height = 0;
  int gridWidth = 0;
  int gridHeight = 0;
};

struct GlkContent {
  int id = 0;
  bool clear = false;
  std::vector<GlkParagraph> text;   // buffer windows
  std::vector<GlkGridLine> lines;   // grid windows
  bool draws = false;               // graphics windows: drawing commands
};

struct GlkInputRequest {
  int id = 0;
  std::string type;  // "line" or "char"
  int maxLength = 0;  // line input: the longest command the game takes
  std::wstring initial;
};

struct GlkSpecialInput {
  std::string type;      // "fileref_prompt"
  std::string fileMode;  // "read", "write", "readwrite", "writeappend"
  std::string fileType;  // "save", "transcript", "command", "data"
};

struct GlkUpdate {
  int64_t gen = 0;
  std::optional<std::vector<GlkWindow>> windows;  // set when the layout changed
  std::vector<GlkContent> content;
  std::vector<GlkInputRequest> input;
  std::optional<GlkSpecialInput> specialInput;
  bool timerChanged = false;
  std::optional<int> timerInterval;  // with timerChanged: empty stops it
  bool exit = false;
  bool disable = false;
  std::string error;  // a protocol error the interpreter reported
};

// Splits the interpreter's output into JSON objects and reads each as an
// update. Malformed output is a fault of the interpreter, and a sticky one:
// after it nothing more is read.
class GlkReader {
 public:
  // A single object larger than this is refused: a game never needs it,
  // and holding it would let a broken interpreter take all memory.
  static constexpr size_t kObjectLimit = 16u << 20;

  // Takes the next piece of output (an object may be split anywhere).
  void Feed(const std::string& bytes);
  // The next complete update, if one has come.
  std::optional<GlkUpdate> Next();
  // Empty while the output makes sense; else what is wrong with it.
  const std::string& Fault() const { return m_fault; }

 private:
  void Scan();

  std::string m_pending;  // bytes not yet part of a complete object
  size_t m_scanned = 0;   // how far m_pending was scanned
  int m_depth = 0;
  bool m_inString = false;
  bool m_escaped = false;
  std::vector<std::string> m_objects;
  size_t m_nextObject = 0;
  std::string m_fault;
};

// Reads one object's text as an update; false with `fault` set when it is
// not one.
bool ParseUpdate(const std::string& json, GlkUpdate& update, std::string& fault);

// The events a client sends, each one line of JSON. `gen` is the latest
// update's.
std::string InitEvent(int width, int height, const std::vector<std::string>& support);
std::string LineEvent(int64_t gen, int window, const std::wstring& value);
// value: one character, or a key name ("left", "return", "escape", ...).
std::string CharEvent(int64_t gen, int window, const std::wstring& value);
std::string TimerEvent(int64_t gen);
std::string ArrangeEvent(int64_t gen, int width, int height);
// A file name or path for a fileref_prompt; nothing cancels it.
std::string FileEvent(int64_t gen, const std::optional<std::string>& path);

// One game's conversation: which input the game has asked for, the
// generation to echo, the timer, and the event to send for each answer.
// Each answer is accepted once per update; until the next update comes the
// game has nothing open.
class GlkSession {
 public:
  // The first event: the screen's size in characters.
  std::string Start(int width, int height);

  // Output of the interpreter, as it comes.
  void Feed(const std::string& bytes) { m_reader.Feed(bytes); }
  // The next complete update, its requests taken note of.
  // An update that answers no event is taken too (an interpreter may
  // send one more), but one that keeps sending them while its events go
  // unanswered is at fault: it would keep the player's deadline for the
  // answer from ever coming.
  std::optional<GlkUpdate> Next();
  const std::string& Fault() const { return m_reader.Fault().empty() ? m_fault : m_reader.Fault(); }
  // Whether the last update answered the event sent before it.
  bool LastWasAnswer() const { return m_lastWasAnswer; }
  static constexpr int kUnaskedLimit = 20;

  // What is open now.
  const GlkInputRequest* LineInput() const;
  const GlkInputRequest* CharInput() const;
  const std::optional<GlkSpecialInput>& SpecialInput() const { return m_special; }
  bool Waiting() const { return LineInput() || CharInput() || m_special; }
  // The timer's interval in milliseconds; empty when there is none.
  std::optional<int> Timer() const { return m_timer; }
  bool Ended() const { return m_exit; }
  // What the interpreter said when it gave the story up ("Fatal error:
  // corrupted story: ..."): text in the alert style naming a fatal error,
  // in the update that ended the game or its input. Empty when none.
  const std::wstring& FatalError() const { return m_fatal; }
  bool Started() const { return m_gen > 0; }
  // An event was sent and its update has not come: the interpreter takes
  // one event at a time, so nothing else is sent until then.
  bool Busy() const { return m_busy; }

  // The events that answer; each closes what it answers. Empty when the
  // game has not asked for it.
  std::string AnswerLine(const std::wstring& line);
  std::string AnswerChar(const std::wstring& key);
  std::string AnswerFile(const std::optional<std::string>& path);
  std::string TimerTick();
  std::string Resize(int width, int height);

 private:
  std::string Answer(const GlkInputRequest* request,
                     std::string (*event)(int64_t, int, const std::wstring&), const std::wstring& value);

  GlkReader m_reader;
  int64_t m_gen = 0;
  std::vector<GlkInputRequest> m_input;
  std::optional<GlkSpecialInput> m_special;
  std::optional<int> m_timer;
  bool m_exit = false;
  bool m_busy = false;
  bool m_lastWasAnswer = false;
  int m_unasked = 0;  // updates in a row that answered nothing
  std::string m_fault;
  std::wstring m_fatal;
};

}  // namespace player

#endif  // NARRO_PLAYER_GLK_PROTOCOL_H_
