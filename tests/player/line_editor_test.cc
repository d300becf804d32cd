// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/LineEditor.h"

#include <gtest/gtest.h>

using player::LineEditor;

TEST(PlayerLineEditorTest, EditsInTheMiddle) {
  LineEditor editor;
  editor.Insert(L"tke lmp");
  editor.Home();
  editor.Right();
  editor.Insert(L"a");
  EXPECT_EQ(editor.Text(), L"take lmp");
  EXPECT_EQ(editor.Cursor(), 2u);
  editor.End();
  editor.Left();
  editor.Left();
  editor.Insert(L"\xE4");
  EXPECT_EQ(editor.Backspace(), L'\xE4');
  EXPECT_EQ(editor.Delete(), L'm');
  EXPECT_EQ(editor.Text(), L"take lp");
  EXPECT_EQ(editor.Cursor(), 6u);
  editor.End();
  editor.Right();
  EXPECT_EQ(editor.Delete(), 0);
  editor.Home();
  editor.Left();
  EXPECT_EQ(editor.Backspace(), 0);
  EXPECT_EQ(editor.Text(), L"take lp");
}

TEST(PlayerLineEditorTest, LineTakesNoMoreThanItsLimit) {
  LineEditor editor;
  editor.Insert(std::wstring(LineEditor::kLineLimit - 2, L'x'));
  editor.Home();
  editor.Insert(L"abc");
  EXPECT_EQ(editor.Text().size(), LineEditor::kLineLimit);
  EXPECT_EQ(editor.Text().substr(0, 3), L"abx");
  EXPECT_EQ(editor.Cursor(), 2u);
  editor.Insert(L"d");
  EXPECT_EQ(editor.Text().size(), LineEditor::kLineLimit);
  EXPECT_EQ(editor.Backspace(), L'b');
  editor.Insert(L"ef");
  EXPECT_EQ(editor.Text().substr(0, 3), L"aex");
}

TEST(PlayerLineEditorTest, HistoryKeepsTheLineBeingTyped) {
  LineEditor editor;
  editor.Down();
  editor.Up();
  EXPECT_EQ(editor.Text(), L"");
  for (const wchar_t* line : {L"north", L"", L"look", L"look"}) {
    editor.Insert(line);
    EXPECT_EQ(editor.Enter(), line);
    EXPECT_EQ(editor.Text(), L"");
    EXPECT_EQ(editor.Cursor(), 0u);
  }
  editor.Insert(L"exam");
  editor.Up();
  EXPECT_EQ(editor.Text(), L"look");
  EXPECT_EQ(editor.Cursor(), 4u);
  editor.Up();
  EXPECT_EQ(editor.Text(), L"north");  // no empty line, no repeat
  editor.Up();
  EXPECT_EQ(editor.Text(), L"north");
  editor.Down();
  editor.Down();
  EXPECT_EQ(editor.Text(), L"exam");
  EXPECT_EQ(editor.Cursor(), 4u);
  editor.Down();
  EXPECT_EQ(editor.Text(), L"exam");

  // A recalled line edited and sent is the newest; nothing typed remains.
  editor.Up();
  editor.Insert(L" again");
  EXPECT_EQ(editor.Enter(), L"look again");
  editor.Up();
  EXPECT_EQ(editor.Text(), L"look again");
  editor.Down();
  EXPECT_EQ(editor.Text(), L"");
}

TEST(PlayerLineEditorTest, HistoryForgetsTheOldest) {
  LineEditor editor;
  for (size_t i = 0; i <= LineEditor::kHistoryLimit; ++i) {
    editor.Insert(L"go " + std::to_wstring(i));
    editor.Enter();
  }
  for (size_t i = 0; i < LineEditor::kHistoryLimit + 5; ++i) editor.Up();
  EXPECT_EQ(editor.Text(), L"go 1");
  for (size_t i = 0; i < LineEditor::kHistoryLimit - 1; ++i) editor.Down();
  EXPECT_EQ(editor.Text(), L"go " + std::to_wstring(LineEditor::kHistoryLimit));
}

TEST(PlayerLineEditorTest, AListWordLosesTheMarksAroundItAndKeepsThoseInside) {
  EXPECT_EQ(LineEditor::Bare(L"that!"), L"that");
  EXPECT_EQ(LineEditor::Bare(L"(lamp),"), L"lamp");
  EXPECT_EQ(LineEditor::Bare(L"\"Hello?\""), L"Hello");
  EXPECT_EQ(LineEditor::Bare(L"don't"), L"don't");
  EXPECT_EQ(LineEditor::Bare(L"north-east."), L"north-east");
  EXPECT_EQ(LineEditor::Bare(L"caf\xE9!"), L"caf\xE9");
  EXPECT_EQ(LineEditor::Bare(L"42."), L"42");
  EXPECT_EQ(LineEditor::Bare(L"--!?"), L"");
  EXPECT_EQ(LineEditor::Bare(L""), L"");
}

TEST(PlayerLineEditorTest, AListWordIsSetApartFromTheTextAroundIt) {
  LineEditor editor;
  // At the end of the line: a space after it, so that the next word typed
  // stands apart.
  EXPECT_TRUE(editor.InsertWord(L"take"));
  EXPECT_EQ(editor.Text(), L"take ");
  editor.Insert(L"look");
  EXPECT_EQ(editor.Text(), L"take look");
  // Right after a word: a space before it too.
  EXPECT_TRUE(editor.InsertWord(L"lamp"));
  EXPECT_EQ(editor.Text(), L"take look lamp ");
  // In the middle, touching words on both sides.
  editor.Home();
  editor.Right();
  editor.Right();
  EXPECT_TRUE(editor.InsertWord(L"x"));
  EXPECT_EQ(editor.Text(), L"ta x ke look lamp ");
  EXPECT_EQ(editor.Cursor(), 5u);
  // Between blanks: nothing added.
  editor.End();
  editor.Insert(L" ");
  editor.Left();
  EXPECT_TRUE(editor.InsertWord(L"it"));
  EXPECT_EQ(editor.Text(), L"ta x ke look lamp it ");
}

TEST(PlayerLineEditorTest, AListWordThatDoesNotFitLeavesTheLineAsItWas) {
  LineEditor editor;
  editor.SetLimit(10);
  editor.Insert(L"take");
  EXPECT_FALSE(editor.InsertWord(L"lamps"));  // " lamps " would make 11
  EXPECT_EQ(editor.Text(), L"take");
  EXPECT_EQ(editor.Cursor(), 4u);
  EXPECT_TRUE(editor.InsertWord(L"box"));
  EXPECT_EQ(editor.Text(), L"take box ");
}

TEST(PlayerLineEditorTest, AReplacedLineKeepsTheOldOneForUp) {
  LineEditor editor;
  editor.Insert(L"take lamp");
  editor.Left();
  EXPECT_TRUE(editor.Replace(L"north. east"));
  EXPECT_EQ(editor.Text(), L"north. east");
  EXPECT_EQ(editor.Cursor(), 11u);
  editor.Up();
  EXPECT_EQ(editor.Text(), L"take lamp");
  editor.SetLimit(5);
  editor.Down();
  EXPECT_FALSE(editor.Replace(L"north. east"));
  EXPECT_EQ(editor.Text(), L"north. east");
}
