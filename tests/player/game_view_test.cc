// SPDX-License-Identifier: GPL-3.0-or-later
// What an update makes heard and shown: styled text kept as words, the
// command's echo left out, the status line read as words and its room said
// when the story did not say it, grid lines once each, pictures once.
#include "player/GameView.h"

#include <gtest/gtest.h>

#include <string>

#include "player/GlkProtocol.h"

using namespace player;

namespace {

GlkUpdate Parse(const std::string& json) {
  GlkUpdate update;
  std::string fault;
  EXPECT_TRUE(ParseUpdate(json, update, fault)) << fault;
  return update;
}

const char kLayout[] =
    R"("windows":[{"gridheight":1,"gridwidth":60,"id":3,"top":0,"type":"grid"},)"
    R"({"id":2,"top":1,"type":"buffer"}])";

std::string Status(const std::string& text) {
  return R"({"id":3,"lines":[{"line":0,"content":[{"style":"normal","css_styles":{"reverse":1},"text":")" +
         text + R"("}]}]})";
}

}  // namespace

TEST(GameViewTest, EveryStyleIsHeardButTheCommandsEcho) {
  GameView view;
  GameView::Output out;
  view.Apply(Parse(std::string(R"({"type":"update","gen":1,)") + kLayout + R"(,"content":[)" +
                   Status(" Plain Room        Score: 0     Moves: 0 ") +
                   R"(,{"id":2,"text":[{"append":true},{},)"
                   R"({"content":[{"style":"header","text":"Styles"}]},)"
                   R"({"content":[{"style":"subheader","text":"Plain Room"}]},)"
                   R"({"content":[{"style":"normal","text":"A "},{"style":"emphasized","text":"very"},)"
                   R"({"style":"normal","text":" plain room."}]},)"
                   R"({"content":[{"style":"preformatted","text":"+--+"}]},)"
                   R"({"content":[{"style":"alert","text":"*** Careful ***"}]},{},)"
                   R"({"content":[{"style":"normal","text":">"}]}]}],"input":[{"id":2,"type":"line"}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Styles\nPlain Room\nA very plain room.\n+--+\n*** Careful ***");
  EXPECT_EQ(out.shown, L"\nStyles\nPlain Room\nA very plain room.\n+--+\n*** Careful ***\n\n");
  EXPECT_EQ(view.OpenLine(), L">");
  EXPECT_EQ(view.StatusWords(), L"Plain Room. Score 0. Moves 0.");
  EXPECT_EQ(view.TitleSpan(), L"Styles");

  // The player's command: shown by the player, neither shown nor heard
  // again from the game's echo; the story's answer continues below it.
  view.CommandShown();
  GameView::Output next;
  view.Apply(Parse(R"({"type":"update","gen":2,"content":[)" +
                   Status(" Plain Room        Score: 0     Moves: 1 ") +
                   R"(,{"id":2,"text":[{"append":true,"content":[{"style":"input","text":"jump"}]},{},)"
                   R"({"content":[{"style":"normal","text":"You jump."}]},{},)"
                   R"({"content":[{"style":"normal","text":">"}]}]}],"input":[{"id":2,"type":"line"}]})"),
             next);
  EXPECT_EQ(view.TakeTurn(), L"You jump.");
  EXPECT_EQ(next.shown, L"\nYou jump.\n\n");
  EXPECT_EQ(view.StatusWords(), L"Plain Room. Score 0. Moves 1.");
}

TEST(GameViewTest, ANewRoomOnTheStatusLineIsSaidWhenTheStoryDidNotSayIt) {
  GameView view;
  GameView::Output out;
  view.Apply(Parse(std::string(R"({"type":"update","gen":1,)") + kLayout + R"(,"content":[)" +
                   Status(" Hall   Moves: 0") + R"(,{"id":2,"text":[{"content":[{"text":"Hall"}]}]}],)"
                   R"("input":[{"id":2,"type":"line"}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Hall");
  view.Apply(Parse(R"({"type":"update","gen":2,"content":[)" + Status(" Cellar   Moves: 1") +
                   R"(,{"id":2,"text":[{"content":[{"text":"It is damp."}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Cellar.\nIt is damp.");
  // Only the moves changed: nothing more is said.
  view.Apply(Parse(R"({"type":"update","gen":3,"content":[)" + Status(" Cellar   Moves: 2") + "]}"), out);
  EXPECT_EQ(view.TakeTurn(), L"");
  view.SetAnnounceRoom(false);
  view.Apply(Parse(R"({"type":"update","gen":4,"content":[)" + Status(" Attic   Moves: 3") + "]}"), out);
  EXPECT_EQ(view.TakeTurn(), L"");
  EXPECT_EQ(view.StatusWords(), L"Attic. Moves 3.");
}

TEST(GameViewTest, QuoteBoxesAndMenusAreHeardLineByLineOnce) {
  GameView view;
  GameView::Output out;
  // A quote box grows the status window. The status line is read on
  // request; its room is not news before play has begun.
  view.Apply(Parse(R"({"type":"update","gen":1,"windows":[{"gridheight":4,"id":3,"top":0,"type":"grid"},)"
                   R"({"id":2,"top":4,"type":"buffer"}],"content":[{"id":3,"lines":[)"
                   R"({"line":0,"content":[{"text":" Hall   Moves: 0"}]},)"
                   R"({"line":2,"content":[{"style":"preformatted","text":"   All is well.   "}]},)"
                   R"({"line":1,"content":[{"style":"preformatted","text":"   Hamlet   "}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Hamlet\nAll is well.");
  EXPECT_EQ(out.shownGrid, L"Hamlet\nAll is well.\n");
  // The same lines drawn again: nothing new to hear.
  GameView::Output again;
  view.Apply(Parse(R"({"type":"update","gen":2,"content":[{"id":3,"lines":[)"
                   R"({"line":1,"content":[{"text":"   Hamlet   "}]}]}]})"),
             again);
  EXPECT_EQ(view.TakeTurn(), L"");
  EXPECT_EQ(again.shownGrid, L"");

  // A menu: its cursor moving is heard as the newly highlighted line.
  view.Apply(Parse(R"({"type":"update","gen":3,"content":[{"id":3,"lines":[)"
                   R"({"line":1,"content":[{"css_styles":{"reverse":1},"text":" About "}]},)"
                   R"({"line":2,"content":[{"text":" Hints "}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"About\nHints");
  view.Apply(Parse(R"({"type":"update","gen":4,"content":[{"id":3,"lines":[)"
                   R"({"line":1,"content":[{"text":" About "}]},)"
                   R"({"line":2,"content":[{"css_styles":{"reverse":1},"text":" Hints "}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Hints");
  EXPECT_EQ(view.StatusWords(), L"Hall. Moves 0.");
}

TEST(GameViewTest, APictureIsSaidOnce) {
  GameView view;
  GameView::Output out;
  const std::string layout =
      R"("windows":[{"id":4,"top":0,"type":"graphics"},{"id":2,"top":10,"type":"buffer"}])";
  view.Apply(Parse(R"({"type":"update","gen":1,)" + layout +
                   R"(,"content":[{"id":4,"draw":[{"special":"image","image":1}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"A picture.");
  view.Apply(Parse(R"({"type":"update","gen":2,)" + layout +
                   R"(,"content":[{"id":4,"draw":[{"special":"fill"}]},)"
                   R"({"id":2,"text":[{"content":[{"text":"A tree."}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"A tree.");
}

TEST(GameViewTest, AHugeTurnKeepsItsEndAndControlCharactersGo) {
  GameView view;
  GameView::Output out;
  std::string lines;
  for (int i = 0; i < 5000; ++i) {
    lines += R"({"content":[{"text":"line )" + std::to_string(i) + R"( of the flood\u0007\u001b[1m"}]},)";
  }
  lines.pop_back();
  view.Apply(Parse(R"({"type":"update","gen":1,"content":[{"id":2,"text":[)" + lines + "]}]}"), out);
  const std::wstring turn = view.TakeTurn();
  EXPECT_LE(turn.size(), GameView::kTurnLimit);
  // The escape sequence goes whole: no "[1m" is left to be heard.
  EXPECT_EQ(turn.rfind(L"line 4999 of the flood"), turn.size() - 22);
  EXPECT_EQ(turn.find(L"[1m"), std::wstring::npos);
  EXPECT_EQ(turn.find(L'\x1b'), std::wstring::npos);
  EXPECT_EQ(turn.find(L'\x07'), std::wstring::npos);
  EXPECT_EQ(turn.find(L"line "), 0u);  // starts at a whole line
}

TEST(GameViewTest, StatusLineWords) {
  EXPECT_EQ(StatusLineWords(L" West of House                Score: 0        Moves: 1 "),
            L"West of House. Score 0. Moves 1.");
  EXPECT_EQ(StatusLineWords(L"  Deck   10:30 am  "), L"Deck. 10:30 am.");
  EXPECT_EQ(StatusLineWords(L"   "), L"");
  EXPECT_EQ(StatusLineRoom(L" On the Bridge!   Score: 3"), L"On the Bridge!");
}

TEST(GameViewTest, AnotherStoryWindowContinuesNoParagraphOfThisOne) {
  // A cancelled restore in Bocfel: its warning in a window of its own,
  // then the story's own message.
  GameView view;
  GameView::Output out;
  view.Apply(Parse(R"({"type":"update","gen":1,"content":[{"id":2,"text":[{"content":[{"text":">"}]}]}]})"), out);
  view.CommandShown();
  view.Apply(Parse(R"({"type":"update","gen":2,"windows":[{"id":2,"top":1,"type":"buffer"},)"
                   R"({"id":5,"top":22,"type":"buffer"}],"content":[)"
                   R"({"id":5,"clear":true,"text":[{"content":[{"style":"alert","text":"Warning: unable to open save file"}]}]},)"
                   R"({"id":2,"text":[{"append":true,"content":[{"text":"Restore failed."}]},{},{"content":[{"text":">"}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Warning: unable to open save file\nRestore failed.");
  EXPECT_EQ(out.shown, L"Warning: unable to open save file\nRestore failed.\n\n");
}

namespace {

// An update of TADS 3's kind: the status window made afresh (a new id) with
// two rows, and the story's text, asking for a command or a key.
std::string TadsTurn(int gen, int statusId, const std::string& row0, const std::string& row1,
                     const std::string& text, const std::string& input = "line") {
  return R"({"type":"update","gen":)" + std::to_string(gen) +
         R"(,"windows":[{"gridheight":2,"gridwidth":80,"id":)" + std::to_string(statusId) +
         R"(,"top":0,"left":0,"type":"grid"},{"id":1,"top":2,"type":"buffer"}],)"
         R"("content":[{"id":)" + std::to_string(statusId) + R"(,"clear":true,"lines":[)"
         R"({"line":0,"content":[{"text":")" + row0 + R"("}]},{"line":1,"content":[{"text":")" + row1 +
         R"("}]}]},{"id":1,"text":[{"content":[{"text":")" + text + R"("}]}]}],)"
         R"("input":[{"id":1,"type":")" + input + R"("}]})";
}

}  // namespace

TEST(GameViewTest, StatusLinesAreHeardWhenTheyChangeAndTheScoreWithIt) {
  GameView view;
  GameView::Output out;
  // Before play begins nothing of the status is news.
  view.Apply(Parse(TadsTurn(1, 8, "Control Room      0/0 ", "Exits: west", "Once again...")), out);
  EXPECT_EQ(view.TakeTurn(), L"Once again...");
  EXPECT_EQ(view.StatusWords(), L"Control Room. 0/0. Exits west.");
  // The window is made afresh each turn: an unchanged second line is not
  // heard again, a changed one is, and so is the score.
  view.Apply(Parse(TadsTurn(2, 12, "Control Room      0/1 ", "Exits: west", "You look.")), out);
  EXPECT_EQ(view.TakeTurn(), L"You look.");
  view.Apply(Parse(TadsTurn(3, 16, "Hallway      5/2 ", "Exits: east, north", "You go west.")), out);
  EXPECT_EQ(view.TakeTurn(), L"Hallway.\nYou go west.\nExits: east, north\nScore 5, up 5.");
  view.Apply(Parse(TadsTurn(4, 20, "Hallway      3/3 ", "Exits: east, north", "Ouch.")), out);
  EXPECT_EQ(view.TakeTurn(), L"Ouch.\nScore 3, down 2.");
  const std::vector<std::wstring> rows = view.StatusRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1], L"Exits: east, north");

  // A question answered by a key leaves the status line as it was: not
  // heard again.
  view.Apply(Parse(TadsTurn(5, 22, "Hallway      3/3 ", "Exits: east, north", "Really quit?", "char")), out);
  EXPECT_EQ(view.TakeTurn(), L"Really quit?");
  view.Apply(Parse(TadsTurn(5, 23, "Hallway      3/3 ", "Exits: east, north", "Then not.")), out);
  EXPECT_EQ(view.TakeTurn(), L"Then not.");
  // A menu borrows the status window for its title while it reads keys;
  // leaving it says no room, since none changed.
  view.Apply(Parse(TadsTurn(5, 24, "Select the general area", "U=Up D=Down", "", "char")), out);
  EXPECT_EQ(view.TakeTurn(), L"Select the general area\nU=Up D=Down");
  view.Apply(Parse(TadsTurn(6, 28, "Hallway      3/3 ", "Exits: east, north", "Done.")), out);
  EXPECT_EQ(view.TakeTurn(), L"Done.");
}

TEST(GameViewTest, StatusLineScores) {
  long score = 0;
  EXPECT_TRUE(StatusLineScore(L" West of House     Score: 35     Moves: 4 ", score));
  EXPECT_EQ(score, 35);
  EXPECT_TRUE(StatusLineScore(L" Deck   score -5 ", score));
  EXPECT_EQ(score, -5);
  EXPECT_TRUE(StatusLineScore(L"Control Room          12/40 ", score));
  EXPECT_EQ(score, 12);
  // A date, a time or a room's number is no score.
  EXPECT_FALSE(StatusLineScore(L" Room 12/b   10:30 am  ", score));
  EXPECT_FALSE(StatusLineScore(L" Score board ", score));
  EXPECT_FALSE(StatusLineScore(L"", score));
  EXPECT_EQ(ScoreChangeWords(10, 35), L"Score 35, up 25.");
  EXPECT_EQ(ScoreChangeWords(10, 0), L"Score 0, down 10.");
}

TEST(GameViewTest, AMenuRedrawnAtEachKeyIsHeardForWhatChanged) {
  GameView view;
  GameView::Output out;
  auto menu = [](int gen, int id, int marked, const std::string& title) {
    const char* const items[] = {"Hint System Overview", "A Few Words of Advice", "General Questions"};
    std::string text;
    for (int i = 0; i < 3; ++i) {
      text += std::string(i ? "," : "") + R"({"content":[{"text":")" + (i == marked ? ">" : " ") + items[i] + R"("}]})";
    }
    return R"({"type":"update","gen":)" + std::to_string(gen) +
           R"(,"windows":[{"gridheight":1,"id":)" + std::to_string(id + 1) +
           R"(,"top":0,"type":"grid"},{"id":)" + std::to_string(id) +
           R"(,"top":2,"left":0,"type":"buffer"},{"id":1,"top":24,"type":"buffer"}],"content":[{"id":)" +
           std::to_string(id + 1) + R"(,"clear":true,"lines":[{"line":0,"content":[{"text":")" + title +
           R"("}]}]},{"id":)" + std::to_string(id) + R"(,"clear":true,"text":[)" + text +
           R"(]}],"input":[{"id":1,"type":"char"}]})";
  };
  view.Apply(Parse(R"({"type":"update","gen":1,"content":[{"id":1,"text":[{"content":[{"text":">"}]}]}],)"
                   R"("input":[{"id":1,"type":"line"}]})"),
             out);
  view.TakeTurn();
  view.Apply(Parse(menu(2, 30, 0, "Select an area")), out);
  EXPECT_EQ(view.TakeTurn(),
            L"Select an area\nHint System Overview, selected.\nA Few Words of Advice\nGeneral Questions");
  // Down: the same menu in a new window; only the mark moved.
  view.Apply(Parse(menu(3, 40, 1, "Select an area")), out);
  EXPECT_EQ(view.TakeTurn(), L"A Few Words of Advice, selected.");
  view.Apply(Parse(menu(4, 50, 2, "Select an area")), out);
  EXPECT_EQ(view.TakeTurn(), L"General Questions, selected.");
  // Into a submenu of one question and back: the menu is heard by its
  // title and where its mark is.
  view.Apply(Parse(R"({"type":"update","gen":5,"windows":[{"gridheight":1,"id":61,"top":0,"type":"grid"},)"
                   R"({"id":60,"top":2,"left":0,"type":"buffer"}],"content":[{"id":61,"clear":true,"lines":[)"
                   R"({"line":0,"content":[{"text":"General Questions"}]}]},{"id":60,"clear":true,"text":[)"
                   R"({"content":[{"text":">What is this?"}]}]}],"input":[{"id":1,"type":"char"}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"General Questions\nWhat is this?, selected.");
  view.Apply(Parse(menu(6, 70, 2, "Select an area")), out);
  EXPECT_EQ(view.TakeTurn(), L"Select an area\nGeneral Questions, selected.");
  // The command window itself is heard whole even when drawn alike.
  const std::string again =
      R"({"type":"update","gen":7,"content":[{"id":1,"clear":true,"text":[{"content":[{"text":"A room."}]},)"
      R"({"content":[{"text":"A lamp."}]}]}],"input":[{"id":1,"type":"line"}]})";
  view.Apply(Parse(again), out);
  view.TakeTurn();
  view.Apply(Parse(again), out);
  EXPECT_EQ(view.TakeTurn(), L"A room.\nA lamp.");
}

TEST(GameViewTest, TheReplayedScrollbackAfterARestoreIsShownNotHeard) {
  GameView view;
  GameView::Output out;
  view.Apply(Parse(R"({"type":"update","gen":1,"content":[{"id":2,"text":[{"content":[{"text":">"}]}]}],)"
                   R"("input":[{"id":2,"type":"line"}]})"),
             out);
  view.TakeTurn();
  view.CommandShown();
  GameView::Output restored;
  view.Apply(Parse(R"({"type":"update","gen":2,"content":[{"id":2,"text":[)"
                   R"({"append":true,"content":[{"text":"[Starting history playback]"}]},{},)"
                   R"({"content":[{"text":"Welcome to Adventure!"}]},)"
                   R"({"content":[{"text":">"},{"style":"input","text":"east"}]},)"
                   R"({"content":[{"text":"Inside Building"}]},)"
                   R"({"content":[{"text":"[End of history playback]"}]},{},)"
                   R"({"content":[{"text":"Ok."}]},{},{"content":[{"text":">"}]}]}],)"
                   R"("input":[{"id":2,"type":"line"}]})"),
             restored);
  EXPECT_EQ(view.TakeTurn(), L"Ok.");
  EXPECT_NE(restored.shown.find(L"Welcome to Adventure!"), std::wstring::npos);
  // A replay that never says its end stops at the next command.
  view.Apply(Parse(R"({"type":"update","gen":3,"content":[{"id":2,"text":[)"
                   R"({"content":[{"text":"[Starting history playback]"}]},{"content":[{"text":"old"}]}]}],)"
                   R"("input":[{"id":2,"type":"line"}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"");
  view.Apply(Parse(R"({"type":"update","gen":4,"content":[{"id":2,"text":[{"content":[{"text":"New."}]}]}],)"
                   R"("input":[{"id":2,"type":"line"}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"New.");
}

TEST(GameViewTest, WindowsParagraphsAndBannersAreBounded) {
  GameView view;
  GameView::Output out;
  // A layout of thousands of tall grids keeps the first few hundred, and
  // the player hears once that the rest go unseen.
  std::string windows;
  for (int id = 1; id <= 5000; ++id) {
    windows += std::string(id > 1 ? "," : "") + R"({"gridheight":999,"gridwidth":80,"id":)" + std::to_string(id) +
               R"(,"top":)" + std::to_string(id) + R"(,"type":"grid"})";
  }
  view.Apply(Parse(R"({"type":"update","gen":1,"windows":[)" + windows + "]}"), out);
  const std::wstring told = view.TakeTurn();
  EXPECT_NE(told.find(L"more than 256 windows"), std::wstring::npos) << told.size();
  view.Apply(Parse(R"({"type":"update","gen":2,"windows":[)" + windows + "]}"), out);
  EXPECT_EQ(view.TakeTurn(), L"");  // said once

  // A paragraph that never ends reaches the screen in pieces, never held
  // whole under the command line; the banner keeps its start.
  GameView open;
  GameView::Output shown;
  const std::string piece(4000, 'x');
  for (int gen = 1; gen <= 50; ++gen) {
    open.Apply(Parse(R"({"type":"update","gen":)" + std::to_string(gen) + R"(,"content":[{"id":2,"text":[)"
                     R"({"append":true,"content":[{"style":"header","text":")" + piece + R"("}]}]}]})"),
               shown);
    EXPECT_LE(open.OpenLine().size(), GameView::kOpenLimit + piece.size());
  }
  EXPECT_GE(shown.shown.size(), 150000u);
  EXPECT_LE(open.Banner().size(), GameView::kBannerLimit + piece.size() + 1);
  EXPECT_LE(open.TitleSpan().size(), GameView::kTitleLimit);
}

TEST(GameViewTest, RoomHeadingsAreTakenWithTheParagraphAfterThem) {
  GameView view;
  GameView::Output out;
  view.Apply(Parse(std::string(R"({"type":"update","gen":1,)") + kLayout + R"(,"content":[)" +
                   Status(" Hall        Moves: 0 ") +
                   R"(,{"id":2,"text":[{"append":true},{},)"
                   R"({"content":[{"style":"subheader","text":"Hall"},{"style":"normal","text":" (on the"}]},)"
                   R"x({"append":true,"content":[{"style":"normal","text":" chair)"}]},{},)x"
                   R"({"content":[{"style":"normal","text":"A long hall. "}]},)"
                   R"({"append":true,"content":[{"style":"normal","text":"Doors lead west."}]},)"
                   R"({"content":[{"style":"normal","text":"A lamp is here."}]},)"
                   R"({"content":[{"style":"subheader","text":"Darkness"}]},)"
                   R"({"content":[{"style":"normal","text":">"}]}]}],"input":[{"id":2,"type":"line"}]})"),
             out);
  const auto headings = view.TakeHeadings();
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[0].first, L"Hall (on the chair)");
  EXPECT_EQ(headings[0].second, L"A long hall. Doors lead west.");
  EXPECT_EQ(headings[1].first, L"Darkness");
  EXPECT_EQ(headings[1].second, L"");
  EXPECT_TRUE(view.TakeHeadings().empty());
}
