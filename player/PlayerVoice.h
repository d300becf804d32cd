// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's voice: the game's turns heard as they come, and the
// player's own messages, shown as lines (for a braille display and a
// screen reader) and spoken. With --screen-reader the voice never starts:
// what only a voice would say is shown, and the screen reader reads it.
#ifndef NARRO_PLAYER_PLAYER_VOICE_H_
#define NARRO_PLAYER_PLAYER_VOICE_H_

#include <functional>
#include <string>
#include <utility>

class CNarro;

namespace player {

class GameView;
struct PlayerSettings;

class PlayerVoice {
 public:
  // Puts text on the screen, above the command line, which is drawn again
  // under it.
  using ShowOnScreen = std::function<void(const std::wstring& text)>;

  PlayerVoice(CNarro& narro, const PlayerSettings& settings, ShowOnScreen show)
      : m_narro(narro), m_settings(settings), m_show(std::move(show)) {}

  // Starts the voice the first time only: a voice that failed to start is
  // not tried again.
  void Start();
  // The voice is never to start (a screen reader speaks instead).
  void KeepSilent() { m_tried = true; }
  bool Ready() const { return m_ready; }

  // Speaks the turn the view gathered, queued, and keeps it for Repeat and
  // the word list. Returns it; empty when there was none.
  std::wstring SpeakTurn(GameView& view);

  // A short answer to a key (a character, the command line), cutting off
  // what was being said.
  void Say(const std::wstring& text);
  // A message: shown as a line ("[Rate 1]") and said.
  void Tell(const std::wstring& text);
  // Text shown as it is, not said.
  void Show(const std::wstring& text) { m_show(text); }
  // An answer of the map or the review: queued behind what is said, or
  // cutting it off; with --screen-reader, shown instead.
  void Answer(const std::wstring& text, bool queued);

  // The plainer requests, each made only when the voice is running.
  void Queue(const std::wstring& text);           // behind what is said
  void QueueParagraph(const std::wstring& text);  // so, a line at a time
  void SayAndWait(const std::wstring& text);      // returns once heard
  void Silence();                                 // what is said stops

 private:
  CNarro& m_narro;
  const PlayerSettings& m_settings;
  ShowOnScreen m_show;
  bool m_ready = false;
  bool m_tried = false;
};

}  // namespace player

#endif  // NARRO_PLAYER_PLAYER_VOICE_H_
