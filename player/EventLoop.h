// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's one loop. It waits in one poll on everything that can come
// (the terminal's keys, the signals caught, the interpreter's output and
// errors) and on the times something is due (a lone ESC's wait, the game's
// timer, the interpreter's answer), and hands each to the player, always in
// the same order. Nothing else in the player waits for a key or for the
// game: a question is a state of this loop, not a loop of its own (the
// library's dialogs, which are handed the terminal, aside).
#ifndef NARRO_PLAYER_EVENT_LOOP_H_
#define NARRO_PLAYER_EVENT_LOOP_H_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "player/KeyDecoder.h"

namespace player {

class Interpreter;

class EventLoop {
 public:
  using Clock = std::chrono::steady_clock;

  // What the player does with what came.
  class Events {
   public:
    virtual ~Events() = default;
    virtual void OnSignals(const std::vector<int>& numbers) = 0;
    virtual void OnInterpreterErrors() = 0;
    virtual void OnInterpreterOutput() = 0;
    virtual void OnKey(const Key& key) = 0;
    // The interpreter has not answered the event it was sent in time.
    virtual void OnAnswerOverdue() = 0;
    // Once what came is served: what the game may be sent now (a resize,
    // a timer tick).
    virtual void OnIdle(Clock::time_point now) = 0;
    // An event was sent and its answer has not come.
    virtual bool GameBusy() const = 0;
    virtual bool Done() const = 0;
  };

  // A lone ESC is the Escape key when nothing follows it this soon.
  static constexpr std::chrono::milliseconds kEscapeWait{40};

  EventLoop(const Interpreter& interpreter, Events& events) : m_interpreter(interpreter), m_events(events) {}

  // Serves until the player is done, the terminal is gone or waiting
  // fails.
  void Run();

  // The keys the terminal sent. Bytes typed while the terminal was asked
  // something are given back here, and decoded at the loop's next turn.
  KeyDecoder& Keys() { return m_keys; }
  void FeedTyped(const std::string& bytes);

  // The interpreter must answer within `limit` of now.
  void ExpectAnswer(std::chrono::seconds limit) { m_answerDue = Clock::now() + limit; }
  void Answered() { m_answerDue.reset(); }

  // The game's timer, ringing every `interval` milliseconds: started anew
  // when `restart`, else left to ring when it was to.
  void StartTimer(int interval, bool restart);
  void StopTimer() { m_timerDue.reset(); }
  // True, the timer set to ring again `interval` on, when it is due.
  bool TimerRings(Clock::time_point now, int interval);

 private:
  // One turn: false when the loop is to end.
  bool ServeOnce();
  // How long the poll may wait: until the first deadline, or forever.
  int TimeToWait() const;
  // False when the terminal is gone.
  bool OnTerminalInput();
  // Every whole key decoded so far, to the player.
  void DispatchKeys();
  // No byte followed a lone ESC (or a piece of a sequence) in time.
  void OnEscapeWaitOver();

  const Interpreter& m_interpreter;
  Events& m_events;
  KeyDecoder m_keys;
  std::optional<Clock::time_point> m_escapeUntil;  // a lone ESC, maybe a key's start
  std::optional<Clock::time_point> m_timerDue;     // the game's timer
  std::optional<Clock::time_point> m_answerDue;    // the interpreter must have answered
};

}  // namespace player

#endif  // NARRO_PLAYER_EVENT_LOOP_H_
