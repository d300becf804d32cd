// SPDX-License-Identifier: GPL-3.0-or-later
// The GlkOte protocol part: updates read however the interpreter's output
// is cut, malformed output refused for good, and the events a game gets.
#include "player/GlkProtocol.h"

#include <gtest/gtest.h>

#include <string>

using namespace player;

namespace {

// Windfall's first update as emglken 0.7.2's Bocfel writes it (styles
// trimmed): the status line as a one-line grid, the story as a buffer.
const char kFirstUpdate[] =
    R"({"type":"update","content":[{"id":3,"clear":true,"lines":[{"content":[{"css_styles":{"reverse":1},)"
    R"("style":"normal","text":" Orchard Gate        Score: 0     Moves: 0      "}],"line":0}]},)"
    R"({"id":2,"clear":true,"text":[{"append":true},{},{"content":[{"style":"subheader","text":"Windfall"}]},)"
    R"({"content":[{"style":"normal","text":"Release 1 / Serial number 261207"}]},{},)"
    R"({"content":[{"style":"normal","text":">"}]}]}],"gen":1,)"
    R"("input":[{"gen":1,"id":2,"maxlen":120,"type":"line"}],)"
    R"("windows":[{"gridheight":1,"gridwidth":80,"height":1,"id":3,"left":0,"rock":2,"top":0,"type":"grid","width":80},)"
    R"({"height":23,"id":2,"left":0,"rock":1,"top":1,"type":"buffer","width":80}]})"
    "\n\n";

const char kSaveQuestion[] =
    R"({"type":"update","content":[{"id":2,"text":[{"append":true,"content":[{"style":"input","text":"save"}]},{}]}],)"
    R"("gen":3,"specialinput":{"filemode":"write","filetype":"save","gameid":null,"type":"fileref_prompt"}})"
    "\n\n";

}  // namespace

TEST(GlkReaderTest, ReadsAnUpdateCutAnywhere) {
  const std::string whole = kFirstUpdate;
  for (size_t cut : {size_t{1}, size_t{37}, whole.size() / 2, whole.size() - 3}) {
    GlkReader reader;
    reader.Feed(whole.substr(0, cut));
    EXPECT_FALSE(reader.Next()) << cut;
    reader.Feed(whole.substr(cut));
    const std::optional<GlkUpdate> update = reader.Next();
    ASSERT_TRUE(update) << cut;
    EXPECT_TRUE(reader.Fault().empty());
    EXPECT_EQ(update->gen, 1);
    ASSERT_TRUE(update->windows);
    ASSERT_EQ(update->windows->size(), 2u);
    EXPECT_EQ((*update->windows)[0].type, "grid");
    EXPECT_EQ((*update->windows)[0].gridHeight, 1);
    ASSERT_EQ(update->content.size(), 2u);
    ASSERT_EQ(update->content[0].lines.size(), 1u);
    EXPECT_TRUE(update->content[0].lines[0].spans[0].reverse);
    ASSERT_EQ(update->content[1].text.size(), 6u);
    EXPECT_TRUE(update->content[1].text[0].append);
    EXPECT_EQ(update->content[1].text[2].spans[0].style, "subheader");
    EXPECT_EQ(update->content[1].text[2].spans[0].text, L"Windfall");
    ASSERT_EQ(update->input.size(), 1u);
    EXPECT_EQ(update->input[0].type, "line");
    EXPECT_EQ(update->input[0].maxLength, 120);
    EXPECT_FALSE(reader.Next());
  }
}

TEST(GlkReaderTest, TwoUpdatesInOnePieceAndBracesInsideStrings) {
  GlkReader reader;
  reader.Feed(std::string(R"({"type":"update","gen":4,"content":[{"id":2,"text":[{"content":[)"
                          R"({"style":"normal","text":"a } brace, a \" quote and a { brace"}]}]}]})") +
              kSaveQuestion);
  std::optional<GlkUpdate> first = reader.Next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->content[0].text[0].spans[0].text, L"a } brace, a \" quote and a { brace");
  std::optional<GlkUpdate> second = reader.Next();
  ASSERT_TRUE(second);
  ASSERT_TRUE(second->specialInput);
  EXPECT_EQ(second->specialInput->fileType, "save");
  EXPECT_EQ(second->specialInput->fileMode, "write");
  EXPECT_TRUE(reader.Fault().empty());
}

TEST(GlkReaderTest, TextThatIsNotUtf8IsMendedNotRefused) {
  GlkReader reader;
  reader.Feed(std::string(R"({"type":"update","gen":2,"content":[{"id":2,"text":[{"content":[)"
                          R"({"style":"normal","text":"caf)") +
              "\xE9" + R"("}]}]}]})");
  std::optional<GlkUpdate> update = reader.Next();
  ASSERT_TRUE(update);
  EXPECT_EQ(update->content[0].text[0].spans[0].text, L"caf\xFFFD");
}

TEST(GlkReaderTest, OutputThatIsNotJsonIsAFaultForGood) {
  GlkReader reader;
  reader.Feed("Unhandled Rejection: RuntimeError: Aborted()\n");
  EXPECT_FALSE(reader.Next());
  EXPECT_NE(reader.Fault().find("not JSON: \"Unhandled Rejection"), std::string::npos) << reader.Fault();
  reader.Feed(kFirstUpdate);
  EXPECT_FALSE(reader.Next());

  GlkReader broken;
  broken.Feed("{\"type\":\"update\",\"gen\":1,,}\n");
  EXPECT_FALSE(broken.Next());
  EXPECT_NE(broken.Fault().find("not JSON"), std::string::npos);

  GlkReader stranger;
  stranger.Feed(R"({"type":"greeting"})");
  EXPECT_FALSE(stranger.Next());
  EXPECT_NE(stranger.Fault().find("unknown type"), std::string::npos);
}

TEST(GlkReaderTest, AnObjectPastTheLimitIsRefusedWithoutKeepingIt) {
  GlkReader reader;
  reader.Feed(R"({"type":"update","gen":2,"content":[{"id":2,"text":[{"content":[{"style":"normal","text":")");
  const std::string mebibyte(1u << 20, 'x');
  for (int i = 0; i < 17 && reader.Fault().empty(); ++i) reader.Feed(mebibyte);
  EXPECT_FALSE(reader.Next());
  EXPECT_NE(reader.Fault().find("larger than 16 MiB"), std::string::npos) << reader.Fault();
}

TEST(GlkReaderTest, WrongTypesCountAsMissing) {
  GlkReader reader;
  reader.Feed(R"({"type":"update","gen":"seven","windows":"none","content":[7,{"id":"x","lines":[)"
              R"({"line":-4},{"line":1e300},{"line":2,"content":["normal","old form"]}]}],"input":[{"type":"mouse"}],)"
              R"("timer":"soon","exit":1})");
  const std::optional<GlkUpdate> update = reader.Next();
  ASSERT_TRUE(update);
  EXPECT_EQ(update->gen, 0);
  EXPECT_FALSE(update->windows);
  ASSERT_EQ(update->content.size(), 1u);
  ASSERT_EQ(update->content[0].lines.size(), 1u);
  EXPECT_EQ(update->content[0].lines[0].line, 2);
  EXPECT_EQ(update->content[0].lines[0].spans[0].text, L"old form");
  EXPECT_TRUE(update->input.empty());
  EXPECT_TRUE(update->timerChanged);
  EXPECT_FALSE(update->timerInterval);
  EXPECT_FALSE(update->exit);
}

TEST(GlkSessionTest, OneEventAtATimeEchoingTheGeneration) {
  GlkSession session;
  const std::string init = session.Start(80, 24);
  EXPECT_NE(init.find("\"type\":\"init\""), std::string::npos);
  EXPECT_NE(init.find("\"support\":[\"timer\"]"), std::string::npos);
  EXPECT_EQ(init.back(), '\n');
  EXPECT_TRUE(session.Busy());
  EXPECT_EQ(session.AnswerLine(L"look"), "");  // nothing asked yet
  session.Feed(kFirstUpdate);
  ASSERT_TRUE(session.Next());
  EXPECT_FALSE(session.Busy());
  ASSERT_TRUE(session.LineInput());
  EXPECT_EQ(session.CharInput(), nullptr);
  EXPECT_EQ(session.AnswerChar(L"a"), "");  // a line was asked for
  const std::string line = session.AnswerLine(L"caf\xE9 \"now\"");
  EXPECT_EQ(line, "{\"gen\":1,\"type\":\"line\",\"value\":\"caf\xC3\xA9 \\\"now\\\"\",\"window\":2}\n");
  EXPECT_TRUE(session.Busy());
  EXPECT_EQ(session.AnswerLine(L"again"), "");  // one answer per question
  session.Feed(kSaveQuestion);
  ASSERT_TRUE(session.Next());
  EXPECT_FALSE(session.LineInput());
  ASSERT_TRUE(session.SpecialInput());
  EXPECT_EQ(session.AnswerFile(std::nullopt),
            "{\"gen\":3,\"response\":\"fileref_prompt\",\"type\":\"specialresponse\",\"value\":null}\n");
  EXPECT_FALSE(session.SpecialInput());
}

TEST(GlkSessionTest, TimerTicksAndTheGameEnding) {
  GlkSession session;
  session.Start(80, 24);
  session.Feed(R"({"type":"update","gen":1,"timer":1000,"input":[{"id":5,"type":"char"}]})");
  ASSERT_TRUE(session.Next());
  ASSERT_TRUE(session.Timer());
  EXPECT_EQ(*session.Timer(), 1000);
  ASSERT_TRUE(session.CharInput());
  EXPECT_EQ(session.TimerTick(), "{\"gen\":1,\"type\":\"timer\"}\n");
  EXPECT_EQ(session.AnswerChar(L"escape"), "");  // the tick is being answered
  session.Feed(R"({"type":"update","gen":2,"input":[{"id":5,"type":"char"}]})");
  ASSERT_TRUE(session.Next());
  EXPECT_TRUE(session.Timer());  // an update that does not mention it keeps it
  EXPECT_EQ(session.AnswerChar(L"escape"), "{\"gen\":2,\"type\":\"char\",\"value\":\"escape\",\"window\":5}\n");
  session.Feed(R"({"type":"update","gen":3,"timer":null,"exit":true})");
  ASSERT_TRUE(session.Next());
  EXPECT_FALSE(session.Timer());
  EXPECT_TRUE(session.Ended());
  EXPECT_FALSE(session.Waiting());
  EXPECT_EQ(session.Resize(100, 30), "");
}

TEST(GlkSessionTest, UpdatesNothingAskedForAreTakenAFewTimesThenAFault) {
  GlkSession session;
  session.Start(80, 24);
  session.Feed(R"({"type":"update","gen":1,"input":[{"id":1,"type":"line"}]})");
  ASSERT_TRUE(session.Next());
  EXPECT_TRUE(session.LastWasAnswer());
  // One more after an answer is taken, and does not count as the answer.
  session.Feed(R"({"type":"update","gen":2,"input":[{"id":1,"type":"line"}]})");
  ASSERT_TRUE(session.Next());
  EXPECT_FALSE(session.LastWasAnswer());
  EXPECT_TRUE(session.Fault().empty());
  // An answer sets the count back.
  ASSERT_NE(session.AnswerLine(L"look"), "");
  session.Feed(R"({"type":"update","gen":3,"input":[{"id":1,"type":"line"}]})");
  ASSERT_TRUE(session.Next());
  EXPECT_TRUE(session.LastWasAnswer());
  int taken = 0;
  for (int gen = 4; gen < 4 + 2 * GlkSession::kUnaskedLimit; ++gen) {
    session.Feed(R"({"type":"update","gen":)" + std::to_string(gen) + R"(,"input":[{"id":1,"type":"line"}]})");
    if (session.Next()) ++taken;
  }
  EXPECT_EQ(taken, GlkSession::kUnaskedLimit);
  EXPECT_EQ(session.Fault(), "sends updates nothing asked for");
}

// An interpreter that gives a story up ends as a finished game does; only
// its alert says it failed.
TEST(GlkProtocolTest, AFatalErrorInTheUpdateThatEndsTheGameIsKept) {
  GlkSession fatal;
  fatal.Start(80, 24);
  fatal.Feed(R"({"type":"update","gen":1,"content":[{"id":3,"clear":true,"text":[{"content":[)"
             R"({"style":"alert","text":"Fatal error: corrupted story: initial pc out of range"}]}]}],)"
             R"("disable":true})");
  ASSERT_TRUE(fatal.Next());
  EXPECT_EQ(fatal.FatalError(), L"Fatal error: corrupted story: initial pc out of range");

  // A game that ends, and one that only shows an alert and goes on.
  GlkSession ended;
  ended.Start(80, 24);
  ended.Feed(R"({"type":"update","gen":1,"content":[{"id":3,"text":[{"content":[)"
             R"({"style":"normal","text":"Fatal error: the dragon wins."}]}]}],"disable":true})");
  ASSERT_TRUE(ended.Next());
  EXPECT_EQ(ended.FatalError(), L"");
  GlkSession goesOn;
  goesOn.Start(80, 24);
  goesOn.Feed(R"({"type":"update","gen":1,"content":[{"id":3,"text":[{"content":[)"
              R"({"style":"alert","text":"Fatal error, says the robot."}]}]}],)"
              R"("input":[{"id":3,"gen":1,"type":"line","maxlen":80}]})");
  ASSERT_TRUE(goesOn.Next());
  EXPECT_EQ(goesOn.FatalError(), L"");
}
