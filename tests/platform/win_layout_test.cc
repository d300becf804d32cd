// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/platform/WinTestSupport.h"
#include "platform/win/DialogLayout.h"

using namespace wintest;

namespace {

struct Shown {
  Frame frame;
  int code;
};

Shown Show(const std::wstring& keys, int width, int height,
           const std::function<void(RecordingDialog&)>& fill, int resource = IDD_SELECT) {
  ScriptedDialogIo io(keys, width, height);
  ScopedDialogIo replaced(io);
  RecordingDialog dialog;
  dialog.onInit = fill;
  const int code = dialog.DoModal(nullptr, resource);
  return {io.LastFrame(), code};
}

void FillThree(RecordingDialog& d) {
  SetWindowText(&d, L"Word List");
  SetWindowText(d.GetDlgItem(IDC_INSTRUCTIONS), L"There are 3 entries in the list.");
  Fill(d.GetDlgItem(IDC_LIST), {L"lamp", L"door", L"key"});
  SendMessage(d.GetDlgItem(IDC_LIST), LB_SETCURSEL, 0);
}

std::vector<std::wstring> Texts(const Frame& frame) {
  std::vector<std::wstring> texts;
  for (const FrameLine& line : frame.lines) texts.push_back(line.text);
  return texts;
}

TEST(LayoutTest, PlainLinesWithTheCurrentEntryMarkedAndTheCursorOnIt) {
  const Shown shown = Show(L"<Down>", 40, 24, FillThree);
  EXPECT_EQ(Texts(shown.frame), (std::vector<std::wstring>{
                                    L"Word List", L"There are 3 entries in the list.",
                                    L"  door", L"> key", L"  lamp", L" Cancel"}));
  EXPECT_EQ(shown.frame.lines[3].markStart, 0u);
  EXPECT_EQ(shown.frame.lines[3].markLength, 5u);
  EXPECT_EQ(shown.frame.lines[2].markLength, 0u);
  EXPECT_EQ(shown.frame.cursorRow, 3);
  EXPECT_EQ(shown.frame.cursorColumn, 0);
}

TEST(LayoutTest, ASmallTerminalShowsWhatFitsWithTheCurrentEntry) {
  auto fill = [](RecordingDialog& d) {
    SetWindowText(&d, L"Supported Games");
    SetWindowText(d.GetDlgItem(IDC_INSTRUCTIONS),
                  L"There are 10000 entries in the list. Use arrow keys to hear entries. "
                  L"Hit enter to select. Hit escape to close. You may also use the first "
                  L"letter of a game to skip ahead.");
    std::vector<std::wstring> entries;
    for (int i = 0; i < 10000; ++i) entries.push_back(L"game " + std::to_wstring(10000 + i));
    Fill(d.GetDlgItem(IDC_LIST), entries);
    SendMessage(d.GetDlgItem(IDC_LIST), LB_SETCURSEL, 0);
  };
  const Shown shown = Show(L"<End><Up>", 20, 10, fill);
  ASSERT_LE(shown.frame.lines.size(), 10u);
  for (const FrameLine& line : shown.frame.lines) EXPECT_LE(line.text.size(), 20u);
  EXPECT_EQ(shown.frame.lines[shown.frame.cursorRow].text, L"> game 19998");
  EXPECT_EQ(shown.frame.lines[0].text, L"Supported Games");

  const Shown tiny = Show(L"<Down>", 20, 1, fill);
  ASSERT_EQ(tiny.frame.lines.size(), 1u);
  EXPECT_EQ(tiny.frame.lines[0].text, L"> game 10001");
}

TEST(LayoutTest, LongAndWideEntriesAreCutToTheWidth) {
  auto fill = [](RecordingDialog& d) {
    Fill(d.GetDlgItem(IDC_LIST), {std::wstring(10000, L'x'), L"\U0001F600\u0416\u00e9"});
    SendMessage(d.GetDlgItem(IDC_LIST), LB_SETCURSEL, 0);
  };
  const Shown shown = Show(L"", 30, 10, fill);
  EXPECT_EQ(shown.frame.lines[shown.frame.cursorRow].text, L"> " + std::wstring(28, L'x'));
  EXPECT_EQ(shown.frame.lines[shown.frame.cursorRow + 1].text.substr(2, 1), L"\U0001F600");
}

TEST(LayoutTest, TheCursorStandsAtTheCaretOfTheEdit) {
  const Shown shown = Show(L"lamp<Left><Left>", 40, 10, [](RecordingDialog& d) {
    SetWindowText(&d, L"Name of the saved game");
  }, IDD_INPUT);
  EXPECT_EQ(Texts(shown.frame), (std::vector<std::wstring>{L"Name of the saved game", L"Name",
                                                           L"lamp", L" OK   Cancel"}));
  EXPECT_EQ(shown.frame.cursorRow, 2);
  EXPECT_EQ(shown.frame.cursorColumn, 2);
}

TEST(LayoutTest, AnEditLongerThanTheLineScrollsWithTheCaret) {
  const Shown shown = Show(std::wstring(50, L'a') + L"bc", 20, 10,
                           [](RecordingDialog&) {}, IDD_INPUT);
  EXPECT_EQ(shown.frame.lines[2].text, std::wstring(17, L'a') + L"bc");
  EXPECT_EQ(shown.frame.cursorColumn, 19);
}

TEST(LayoutTest, AnEmptyListSaysSo) {
  const Shown shown = Show(L"", 30, 10, [](RecordingDialog&) {});
  EXPECT_EQ(shown.frame.lines[2].text, L"  (no entries)");
  EXPECT_EQ(shown.frame.cursorRow, 2);
}

}  // namespace
