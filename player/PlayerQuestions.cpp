// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own Yes or No questions: asked in the input area's place
// and spoken, answered by the keys typed next while the game is served
// meanwhile; a file question the game asked waits until the open one is
// answered.
#include <utility>

#include "player/Player.h"

namespace player {

void Player::AskYesNo(const std::wstring& question, YesNoQuestion::Then then,
                      bool ctrlCAnswersYes) {
  // The only questions asked are the player's own, whose keys go to the
  // open one, and a file's, which waits for an open one to be answered.
  if (m_question) {
    then(false);
    return;
  }
  m_question.emplace(question, ctrlCAnswersYes, std::move(then));
  m_screen.OpenQuestion(question);
  m_voice.Say(question);
}

bool Player::OnQuestionKey(const Key& key) {
  if (!m_question) return false;
  const std::optional<bool> yes = m_question->AnswerOf(key);
  if (!yes) {
    m_voice.Say(L"Yes or No?");
    return true;
  }
  AnswerQuestion(*yes);
  return true;
}

void Player::AnswerQuestion(bool yes) {
  const YesNoQuestion::Then then = m_question->TakeThen();
  m_question.reset();
  m_screen.CloseQuestion(yes);
  if (then) then(yes);
  // A file question the game asked meanwhile is the next one.
  if (m_fileQuestionWaits && !m_question && !m_quit) {
    m_fileQuestionWaits = false;
    const GlkSession* session = m_game.Glk();
    if (session && session->SpecialInput() && !session->Busy()) OnFileQuestion();
  }
}

void Player::AskToLeave() {
  // A second Ctrl-C confirms.
  AskYesNo(
      L"Leave the game? What is not saved is lost. Yes or No.",
      [this](bool yes) {
        if (!yes) {
          m_voice.Tell(L"The game goes on.");
          return;
        }
        m_voice.SayAndWait(L"Goodbye.");
        m_quit = true;
        m_exitStatus = 0;
      },
      true);
}

}  // namespace player
