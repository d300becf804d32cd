// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/YesNoQuestion.h"

#include <gtest/gtest.h>

using player::Key;
using player::KeyCode;
using player::YesNoQuestion;

TEST(PlayerYesNoQuestion, YAndNInEitherCaseAnswerAndEscapeIsNo) {
  const YesNoQuestion question(L"Replace it? Yes or No.", false, nullptr);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kChar, L'y'}), true);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kChar, L'Y'}), true);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kChar, L'n'}), false);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kChar, L'N'}), false);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kEscape}), false);
}

TEST(PlayerYesNoQuestion, OtherKeysAnswerNothing) {
  const YesNoQuestion question(L"Replace it? Yes or No.", false, nullptr);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kChar, L'x'}), std::nullopt);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kEnter}), std::nullopt);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kAlt, L'y'}), std::nullopt);
  EXPECT_EQ(question.AnswerOf(Key{KeyCode::kFunction, 0, 1}), std::nullopt);
}

TEST(PlayerYesNoQuestion, CtrlCGivesTheAnswerTheAskerChose) {
  EXPECT_EQ(YesNoQuestion(L"Leave?", true, nullptr).AnswerOf(Key{KeyCode::kCtrlC}), true);
  EXPECT_EQ(YesNoQuestion(L"Replace?", false, nullptr).AnswerOf(Key{KeyCode::kCtrlC}), false);
}

TEST(PlayerYesNoQuestion, WhatFollowsTheAnswerIsTakenOnce) {
  bool heard = false;
  YesNoQuestion question(L"Leave?", true, [&](bool yes) { heard = yes; });
  YesNoQuestion::Then then = question.TakeThen();
  ASSERT_TRUE(then);
  then(true);
  EXPECT_TRUE(heard);
  EXPECT_FALSE(question.TakeThen());
}
