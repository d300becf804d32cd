// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/platform/WinTestSupport.h"
#include "platform/win/MessageBox.h"

using namespace wintest;

namespace {

int Ask(unsigned type, const std::wstring& keys, RecordingAnnouncer* announcer = nullptr) {
  ScriptedDialogIo io(keys);
  ScopedDialogIo replaced(io);
  RecordingAnnouncer silent;
  ScopedAnnouncer announced(announcer != nullptr ? *announcer : silent);
  return platform::MessageBox(nullptr, "Are you sure?", "Delete Game", type);
}

TEST(MessageBoxTest, LettersAnswerAtOnce) {
  EXPECT_EQ(Ask(MB_YESNO, L"y"), IDYES);
  EXPECT_EQ(Ask(MB_YESNO, L"N"), IDNO);
  EXPECT_EQ(Ask(MB_YESNOCANCEL, L"xn"), IDNO);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE | MB_ICONQUESTION, L"a"), IDABORT);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"r"), IDRETRY);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"I"), IDIGNORE);
}

TEST(MessageBoxTest, EnterPressesTheButtonUnderTheCursorTheFirstAtTheStart) {
  EXPECT_EQ(Ask(MB_YESNO, L"<Enter>"), IDYES);
  EXPECT_EQ(Ask(MB_OK, L"<Enter>"), IDOK);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"<Enter>"), IDABORT);
  EXPECT_EQ(Ask(MB_YESNO, L"<Right><Enter>"), IDNO);
  EXPECT_EQ(Ask(MB_YESNOCANCEL, L"<Right><Right><Right><Enter>"), IDCANCEL);
  EXPECT_EQ(Ask(MB_YESNOCANCEL, L"<Right><Left><Left><Enter>"), IDYES);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"<Tab><Tab><Tab><Enter>"), IDABORT);  // Tab goes round
  EXPECT_EQ(Ask(MB_YESNO, L"<Tab><Space>"), IDNO);
}

TEST(MessageBoxTest, EscapeAnswersCancelWhereThereIsOne) {
  EXPECT_EQ(Ask(MB_YESNOCANCEL, L"<Esc>"), IDCANCEL);
  EXPECT_EQ(Ask(MB_OKCANCEL, L"<Esc>"), IDCANCEL);
  EXPECT_EQ(Ask(MB_OK, L"<Esc>"), IDOK);
  EXPECT_EQ(Ask(MB_YESNO, L"<Esc>y"), IDYES);  // no way out: Escape does nothing
}

TEST(MessageBoxTest, WithoutKeysTheAnswerDoesNothing) {
  EXPECT_EQ(Ask(MB_YESNO, L""), IDNO);
  EXPECT_EQ(Ask(MB_YESNO, L"<Right><Left>"), IDNO);
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"<Right>"), IDABORT);
  EXPECT_EQ(Ask(MB_YESNOCANCEL, L""), IDCANCEL);
  EXPECT_EQ(Ask(MB_OK, L""), IDOK);
  EXPECT_EQ(Ask(MB_YESNO, L"<C-c>y"), IDNO);
  EXPECT_EQ(Ask(MB_YESNO, L"<Bogus>y"), IDNO);
}

TEST(MessageBoxTest, MovingBetweenButtonsSaysEachName) {
  RecordingAnnouncer announcer;
  EXPECT_EQ(Ask(MB_ABORTRETRYIGNORE, L"<Right><Right><Right><Left><Enter>", &announcer), IDRETRY);
  EXPECT_EQ(announcer.said, (std::vector<std::pair<std::wstring, int>>{
                                {L"Retry", 3}, {L"Ignore", 3}, {L"Retry", 3}}));
}

TEST(MessageBoxTest, TheBoxShowsCaptionTextAndButtons) {
  ScriptedDialogIo io(L"<Right>", 40, 10);
  ScopedDialogIo replaced(io);
  platform::MessageBox(nullptr, "Are you sure you want to delete the saved game? Y or N",
                       "Delete Game", MB_YESNO);
  const Frame& frame = io.LastFrame();
  ASSERT_EQ(frame.lines.size(), 4u);
  EXPECT_EQ(frame.lines[0].text, L"Delete Game");
  EXPECT_EQ(frame.lines[1].text, L"Are you sure you want to delete the");
  EXPECT_EQ(frame.lines[2].text, L"saved game? Y or N");
  EXPECT_EQ(frame.lines[3].text, L" Yes  >No");
  EXPECT_EQ(frame.cursorRow, 3);
  EXPECT_EQ(frame.cursorColumn, 6);
}

TEST(MessageBoxTest, DefaultButtonIsTheFirst) {
  EXPECT_EQ(DefaultButton(MB_OK), IDOK);
  EXPECT_EQ(DefaultButton(MB_YESNO), IDYES);
  EXPECT_EQ(DefaultButton(MB_ABORTRETRYIGNORE | MB_ICONQUESTION), IDABORT);
  EXPECT_EQ(DefaultButton(MB_RETRYCANCEL), IDRETRY);
}

}  // namespace
