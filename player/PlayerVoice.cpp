// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerVoice.h"

#include <narro/Narro.h>

#include "player/GameView.h"
#include "player/Settings.h"

namespace player {

void PlayerVoice::Start() {
  if (m_tried) return;
  m_tried = true;
  m_ready = m_narro.InitializeSAPI(m_settings.voiceId, m_settings.rate, m_settings.volume);
}

std::wstring PlayerVoice::SpeakTurn(GameView& view) {
  const std::wstring turn = view.TakeTurn();
  if (turn.empty()) return turn;
  // Heard first, stored for Repeat and the word list after.
  if (m_ready) m_narro.SpeakParagraph(turn, SPEAK_QUEUED);
  m_narro.AddToBuffer(CTTSWString(turn));
  return turn;
}

void PlayerVoice::Say(const std::wstring& text) {
  if (m_ready) m_narro.Speak(text, SPEAK_CUT_OFF);
}

void PlayerVoice::Tell(const std::wstring& text) {
  Show(L"[" + text + L"]\n");
  Say(text);
}

void PlayerVoice::Answer(const std::wstring& text, bool queued) {
  // A screen reader reads what is shown; a voice of the player's own would
  // speak over it.
  if (m_settings.screenReader) {
    Show(L"[" + text + L"]\n");
    return;
  }
  if (!m_ready) return;
  if (queued) {
    m_narro.Speak(text, SPEAK_QUEUED);
    return;
  }
  m_narro.Speak(std::wstring(), SPEAK_SILENCE);
  m_narro.SpeakParagraph(text, SPEAK_AND_WAIT);
}

void PlayerVoice::Queue(const std::wstring& text) {
  if (m_ready) m_narro.Speak(text, SPEAK_QUEUED);
}

void PlayerVoice::QueueParagraph(const std::wstring& text) {
  if (m_ready) m_narro.SpeakParagraph(text, SPEAK_QUEUED);
}

void PlayerVoice::SayAndWait(const std::wstring& text) {
  if (m_ready) m_narro.Speak(text, SPEAK_AND_WAIT);
}

void PlayerVoice::Silence() {
  if (m_ready) m_narro.Speak(std::wstring(), SPEAK_SILENCE);
}

}  // namespace player
