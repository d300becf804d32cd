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
                   Status(" Hall   Moves: 0") + R"(,{"id":2,"text":[{"content":[{"text":"Hall"}]}]}]})"),
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
  // request; only its room, which no story text named, is said.
  view.Apply(Parse(R"({"type":"update","gen":1,"windows":[{"gridheight":4,"id":3,"top":0,"type":"grid"},)"
                   R"({"id":2,"top":4,"type":"buffer"}],"content":[{"id":3,"lines":[)"
                   R"({"line":0,"content":[{"text":" Hall   Moves: 0"}]},)"
                   R"({"line":2,"content":[{"style":"preformatted","text":"   All is well.   "}]},)"
                   R"({"line":1,"content":[{"style":"preformatted","text":"   Hamlet   "}]}]}]})"),
             out);
  EXPECT_EQ(view.TakeTurn(), L"Hall.\nHamlet\nAll is well.");
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
