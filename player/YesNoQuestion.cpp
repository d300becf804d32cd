// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/YesNoQuestion.h"

namespace player {

std::optional<bool> YesNoQuestion::AnswerOf(const Key& key) const {
  if (key.code == KeyCode::kChar && (key.ch == L'y' || key.ch == L'Y')) return true;
  if (key.code == KeyCode::kChar && (key.ch == L'n' || key.ch == L'N')) return false;
  if (key.code == KeyCode::kEscape) return false;
  if (key.code == KeyCode::kCtrlC) return m_ctrlCAnswersYes;
  return std::nullopt;
}

}  // namespace player
