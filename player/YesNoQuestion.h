// SPDX-License-Identifier: GPL-3.0-or-later
// A spoken Yes or No question, open while the player's loop goes on: the
// interpreter's output, its timer and its deadline are served meanwhile,
// and the keys the player types answer it. What the asker does with the
// answer waits here until it comes.
#ifndef NARRO_PLAYER_YES_NO_QUESTION_H_
#define NARRO_PLAYER_YES_NO_QUESTION_H_

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "player/KeyDecoder.h"

namespace player {

class YesNoQuestion {
 public:
  using Then = std::function<void(bool yes)>;

  // Ctrl-C gives `ctrlCAnswersYes`: the question that Ctrl-C asked takes a
  // second Ctrl-C for Yes; every other one takes it for No.
  YesNoQuestion(std::wstring text, bool ctrlCAnswersYes, Then then)
      : m_text(std::move(text)), m_ctrlCAnswersYes(ctrlCAnswersYes), m_then(std::move(then)) {}

  const std::wstring& Text() const { return m_text; }
  // Y or N in either case; Escape is No. Nothing for a key that answers
  // nothing: the question is then asked again.
  std::optional<bool> AnswerOf(const Key& key) const;
  // What was to follow the answer, taken once.
  Then TakeThen() { return std::exchange(m_then, nullptr); }

 private:
  std::wstring m_text;
  bool m_ctrlCAnswersYes;
  Then m_then;
};

}  // namespace player

#endif  // NARRO_PLAYER_YES_NO_QUESTION_H_
