// SPDX-License-Identifier: GPL-3.0-or-later
// The map learned from turns, its answers as words, and its file: kept
// whole or not at all, never written over when it could not be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "player/GameMap.h"
#include "player/MapFile.h"
#include "tests/support/TempDir.h"

namespace player {
namespace {

// A turn that moved into (or looked at) a room: the status line and the
// heading name it, the description follows the heading.
MapTurn Arrive(const std::wstring& command, const std::wstring& room, const std::wstring& description) {
  MapTurn turn;
  turn.command = command;
  turn.statusRoom = room;
  turn.headings.push_back({room, description});
  return turn;
}

// A turn that printed no heading: the status line is as it was.
MapTurn Stay(const std::wstring& command, const std::wstring& room) {
  MapTurn turn;
  turn.command = command;
  turn.statusRoom = room;
  return turn;
}

// ---------------------------------------------------------------------
// Commands and text.

TEST(MapWords, MovesAreTheTwelveDirectionsAloneInAnyForm) {
  EXPECT_EQ(MoveOf(L"n"), kNorth);
  EXPECT_EQ(MoveOf(L"NORTH"), kNorth);
  EXPECT_EQ(MoveOf(L"go north."), kNorth);
  EXPECT_EQ(MoveOf(L"  sw "), kSouthwest);
  EXPECT_EQ(MoveOf(L"northeast"), kNortheast);
  EXPECT_EQ(MoveOf(L"u"), kUp);
  EXPECT_EQ(MoveOf(L"d"), kDown);
  EXPECT_EQ(MoveOf(L"in"), kIn);
  EXPECT_EQ(MoveOf(L"go out"), kOut);
  EXPECT_EQ(MoveOf(L"exit"), kOut);
  EXPECT_FALSE(MoveOf(L"n. e"));
  EXPECT_FALSE(MoveOf(L"n, e"));
  EXPECT_FALSE(MoveOf(L"north then east"));
  EXPECT_FALSE(MoveOf(L"open door"));
  EXPECT_FALSE(MoveOf(L""));
  EXPECT_FALSE(MoveOf(L"go"));
  EXPECT_FALSE(MoveOf(L"nn"));
}

TEST(MapWords, ADescriptionNamesTheDirectionsItsWordsDo) {
  EXPECT_EQ(DirectionsNamed(L"Paths lead north and south-east; a stair goes upstairs."),
            (1 << kNorth) | (1 << kSoutheast) | (1 << kUp));
  EXPECT_EQ(DirectionsNamed(L"Northern lights, Eastern wind, westerly."), 0);
  EXPECT_EQ(DirectionsNamed(L"You came in. Get out."), 0);
  EXPECT_EQ(DirectionsNamed(L"WEST!"), 1 << kWest);
}

TEST(MapWords, TheFirstSentenceIsOneLineAndShort) {
  EXPECT_EQ(FirstSentence(L"A dark\n  hall. More text."), L"A dark hall.");
  EXPECT_EQ(FirstSentence(L"No stop at all"), L"No stop at all");
  EXPECT_LE(FirstSentence(std::wstring(5000, L'x')).size(), GameMap::kLookLimit);
}

TEST(MapWords, DeathLinesAreTheGamesStarredEnds) {
  EXPECT_TRUE(IsDeathLine(L"*** You have died ***"));
  EXPECT_TRUE(IsDeathLine(L"    *** You have been killed ***"));
  EXPECT_FALSE(IsDeathLine(L"*** You have won ***"));
  EXPECT_FALSE(IsDeathLine(L"You have died"));
  EXPECT_FALSE(IsDeathLine(L"***"));
}

// ---------------------------------------------------------------------
// Learning.

TEST(GameMapLearns, MovesBlockedWaysAndDeaths) {
  GameMap map;
  EXPECT_TRUE(map.Learn(Arrive(L"", L"Clearing", L"Paths go north and west. A pit lies east.")));
  EXPECT_TRUE(map.Learn(Arrive(L"n", L"Forest Path", L"The path runs south.")));
  EXPECT_TRUE(map.Learn(Arrive(L"go south", L"Clearing", L"Paths go north and west. A pit lies east.")));
  EXPECT_EQ(map.Rooms().size(), 2u);
  EXPECT_TRUE(map.Learn(Stay(L"up", L"Clearing")));
  MapTurn death = Stay(L"east", L"Clearing");
  death.died = true;
  EXPECT_TRUE(map.Learn(death));
  EXPECT_EQ(map.WaysFromHere(),
            L"Clearing. North: Forest Path. East: death. Up: blocked. The description names west: not tried.");
  // Nothing new: nothing to save.
  EXPECT_FALSE(map.Learn(Stay(L"look at trees", L"Clearing")));
  EXPECT_FALSE(map.Learn(Stay(L"up", L"Clearing")));
}

TEST(GameMapLearns, AOneWayPassageIsKnownOneWay) {
  GameMap map;
  map.Learn(Arrive(L"", L"Ledge", L"A slide goes down."));
  map.Learn(Arrive(L"down", L"Pool", L"Water. No way up."));
  map.Learn(Stay(L"up", L"Pool"));
  const int ledge = 0;
  const int pool = 1;
  EXPECT_EQ(map.Current(), pool);
  EXPECT_FALSE(map.Route(ledge));
  map.SetCurrent(ledge);
  ASSERT_TRUE(map.Route(pool));
  EXPECT_EQ(GameMap::RouteWords(*map.Route(pool)), L"Down: one move.");
}

TEST(GameMapLearns, RoomsOfOneNameAreToldApartByTheirDescriptions) {
  GameMap map;
  map.Learn(Arrive(L"", L"Cellar", L"Water drips here. Stairs go up."));
  map.Learn(Arrive(L"up", L"Hall", L"A hall. Stairs go down, a door leads east."));
  map.Learn(Arrive(L"east", L"Cellar", L"Dry dust lies here. A ladder goes up."));
  EXPECT_EQ(map.Rooms().size(), 3u);
  EXPECT_EQ(map.Label(0), L"Cellar, the one where: Water drips here");
  EXPECT_EQ(map.Label(2), L"Cellar, the one where: Dry dust lies here");
  // Back by the status line alone (a brief game): the way known says which.
  map.Learn(Arrive(L"up", L"Hall", L"A hall. Stairs go down, a door leads east."));
  map.Learn(Stay(L"down", L"Cellar"));
  EXPECT_EQ(map.Current(), 0);
}

TEST(GameMapLearns, ARoomWhoseDescriptionChangedIsStillTheSameRoom) {
  GameMap map;
  map.Learn(Arrive(L"", L"Hall", L"The door is shut. Stairs go up."));
  map.Learn(Arrive(L"up", L"Attic", L"Dusty. Stairs go down."));
  map.Learn(Arrive(L"down", L"Hall", L"The door is shut. Stairs go up."));
  map.Learn(Arrive(L"look", L"Hall", L"The door is open. Stairs go up."));
  EXPECT_EQ(map.Rooms().size(), 2u);
  EXPECT_EQ(map.Current(), 0);
  map.Learn(Arrive(L"u", L"Attic", L"Dusty. Stairs go down."));
  map.Learn(Arrive(L"d", L"Hall", L"The door is open wide. Stairs go up."));
  EXPECT_EQ(map.Rooms().size(), 2u);
  EXPECT_EQ(map.Current(), 0);
  // Another room of that name, met by a way not known, is another room.
  map.Learn(Arrive(L"e", L"Hall", L"Portraits stare. A door leads west."));
  EXPECT_EQ(map.Rooms().size(), 3u);
  EXPECT_EQ(map.Current(), 2);
}

TEST(GameMapLearns, ARoomNotToldFromTheOneLeftIsSaidToBeAlike) {
  GameMap map;
  map.Learn(Arrive(L"", L"Maze", L"Twisty passages, all alike."));
  map.Learn(Arrive(L"e", L"Maze", L"Twisty passages, all alike."));
  EXPECT_EQ(map.Rooms().size(), 1u);
  EXPECT_TRUE(map.Rooms()[0].alike);
  EXPECT_EQ(map.WaysFromHere(), L"Maze, one of several alike. East: the same room, or one alike.");
}

TEST(GameMapLearns, RestoreUndoAndRestartLoseNothing) {
  GameMap map;
  map.Learn(Arrive(L"", L"Clearing", L"Paths go north."));
  map.Learn(Arrive(L"n", L"Forest Path", L"The path runs south."));
  map.Learn(Stay(L"undo", L"Clearing"));
  EXPECT_EQ(map.Current(), 0);
  map.Learn(Arrive(L"n", L"Forest Path", L"The path runs south."));
  // Inform's UNDO prints the room's name and a note, which is no
  // description.
  map.Learn(Arrive(L"undo", L"Clearing", L"[Previous turn undone.]"));
  EXPECT_EQ(map.Current(), 0);
  map.Learn(Arrive(L"restart", L"Clearing", L"Paths go north."));
  EXPECT_EQ(map.Rooms().size(), 2u);
  ASSERT_TRUE(map.Route(1));
  EXPECT_EQ(GameMap::RouteCommand(*map.Route(1)), L"north");
  // A restored position in a room the map knows.
  map.Learn(Stay(L"restore", L"Forest Path"));
  EXPECT_EQ(map.Current(), 1);
}

TEST(GameMapLearns, AStoryTitleStyledAsAHeadingIsNotTakenForTheRoom) {
  GameMap map;
  MapTurn banner = Arrive(L"", L"Clearing", L"Paths go north.");
  banner.headings.insert(banner.headings.begin(), {L"The Big Adventure", L"An interactive fiction."});
  map.Learn(banner);
  ASSERT_EQ(map.Rooms().size(), 1u);
  EXPECT_EQ(map.Rooms()[0].name, L"Clearing");
  EXPECT_EQ(map.Rooms()[0].look, L"Paths go north.");
}

TEST(GameMapLearns, WithoutAStatusLineTheHeadingNamesTheRoom) {
  GameMap map;
  MapTurn start;
  start.headings.push_back({L"Kitchen (on the stool)", L"A warm kitchen. The door is west."});
  map.Learn(start);
  MapTurn west;
  west.command = L"w";
  west.headings.push_back({L"Garden", L"Roses."});
  map.Learn(west);
  MapTurn stuck;
  stuck.command = L"w";
  map.Learn(stuck);
  EXPECT_EQ(map.Rooms()[0].name, L"Kitchen");
  EXPECT_EQ(map.Rooms()[0].exits[kWest].to, 1);
  EXPECT_EQ(map.Rooms()[1].exits[kWest].outcome, GameMap::Outcome::kBlocked);
}

TEST(GameMapLearns, TheMapStopsGrowingAtItsLimit) {
  GameMap map;
  for (size_t i = 0; i < GameMap::kRoomLimit + 10; ++i) {
    map.Learn(Arrive(L"n", L"Room " + std::to_wstring(i), L"A room."));
  }
  EXPECT_EQ(map.Rooms().size(), GameMap::kRoomLimit);
  EXPECT_EQ(map.Current(), -1);
  EXPECT_EQ(map.WaysFromHere(), L"This room is not on the map yet.");
}

// ---------------------------------------------------------------------
// Answers.

TEST(GameMapAnswers, TheShortestKnownRouteInWordsAndAsCommands) {
  GameMap map;
  map.Learn(Arrive(L"", L"A", L"."));
  map.Learn(Arrive(L"n", L"B", L"."));
  map.Learn(Arrive(L"e", L"C", L"."));
  map.Learn(Arrive(L"u", L"D", L"."));
  map.Learn(Arrive(L"s", L"E", L"."));
  map.Learn(Arrive(L"w", L"A", L"."));  // E leads back to A
  ASSERT_EQ(map.Current(), 0);
  const std::optional<std::vector<int>> route = map.Route(3);
  ASSERT_TRUE(route);
  EXPECT_EQ(GameMap::RouteWords(*route), L"North, east, then up: three moves.");
  EXPECT_EQ(GameMap::RouteCommand(*route), L"north. east. up");
  EXPECT_EQ(GameMap::RouteWords(*map.Route(0)), L"You are there.");
}

TEST(GameMapAnswers, UnexploredRoomsNearestFirst) {
  GameMap map;
  map.Learn(Arrive(L"", L"A", L"Ways north and west."));
  map.Learn(Arrive(L"n", L"B", L"Ways south, east and up."));
  map.Learn(Arrive(L"e", L"C", L"A way west, and one down."));
  map.Learn(Arrive(L"w", L"B", L"Ways south, east and up."));
  map.Learn(Arrive(L"s", L"A", L"Ways north and west."));
  const auto entries = map.Unexplored();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].second, L"A: west; here.");
  EXPECT_EQ(entries[1].second, L"B: up; one move.");
  EXPECT_EQ(entries[2].second, L"C: down; two moves.");
}

// ---------------------------------------------------------------------
// The file.

class MapFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return m_dir.File("maps/story_1234.map"); }
  GameMap Sample() const {
    GameMap map;
    map.Learn(Arrive(L"", L"Cellar", L"Water drips. Stairs go up and north."));
    map.Learn(Arrive(L"up", L"Hall\tof \"kings\"", L"A hall. Down."));
    map.Learn(Stay(L"east", L"Hall\tof \"kings\""));
    map.Learn(Arrive(L"down", L"Cellar", L"Water drips. Stairs go up and north."));
    MapTurn death = Stay(L"n", L"Cellar");
    death.died = true;
    map.Learn(death);
    return map;
  }
  TempDir m_dir;
};

TEST_F(MapFileTest, AMapIsReadBackAsItWasWritten) {
  const GameMap map = Sample();
  std::string what;
  ASSERT_TRUE(WriteMapFile(Path(), map, what)) << what;
  struct stat st;
  ASSERT_EQ(stat(m_dir.File("maps").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  GameMap read;
  ASSERT_EQ(ReadMapFile(Path(), read, what), MapFileState::kRead) << what;
  EXPECT_EQ(MapText(read), MapText(map));
  read.SetCurrent(0);
  EXPECT_EQ(read.WaysFromHere(), L"Cellar. North: death. Up: Hall of \"kings\".");
  EXPECT_EQ(ReadFile(Path()).rfind("narro-map 1\n", 0), 0u);
}

TEST_F(MapFileTest, NoFileIsAnEmptyMap) {
  GameMap map = Sample();
  std::string what;
  EXPECT_EQ(ReadMapFile(Path(), map, what), MapFileState::kMissing);
  EXPECT_TRUE(map.Rooms().empty());
}

TEST_F(MapFileTest, ADamagedFileIsRefusedAndNeverWrittenOver) {
  const std::string good = MapText(Sample());
  const std::vector<std::string> damaged = {
      "",
      "garbage\n",
      "narro-map 2\nend\t0\n",
      good.substr(0, good.size() - 8),              // cut short
      good + "room\tX\t\t0\t0\n",                   // after the end
      "narro-map 1\nexit\t0\tnorth\troom\t0\nend\t0\n",  // an exit of no room
      "narro-map 1\nroom\tA\t\t99999\t0\nend\t1\n",
      "narro-map 1\nroom\tA\t\t0\t0\nexit\t0\tnowhere\troom\t0\nend\t1\n",
      "narro-map 1\nroom\tA\t\t0\t0\nexit\t0\tnorth\troom\t7\nend\t1\n",
      "narro-map 1\nroom\t\xff\xfe\t\t0\t0\nend\t1\n",
      "narro-map 1\nroom\tA\t\t0\t0\nend\t2\n",
  };
  std::string what;
  ASSERT_TRUE(WriteMapFile(Path(), Sample(), what));  // makes the folder
  for (const std::string& text : damaged) {
    WriteFile(Path(), text);
    GameMap map = Sample();
    EXPECT_EQ(ReadMapFile(Path(), map, what), MapFileState::kRefused) << text;
    EXPECT_TRUE(map.Rooms().empty());
    EXPECT_FALSE(what.empty());
  }
}

TEST_F(MapFileTest, ALinkAFifoAndAHugeFileAreRefused) {
  std::string what;
  ASSERT_TRUE(WriteMapFile(Path(), Sample(), what));
  const std::string elsewhere = m_dir.File("elsewhere");
  WriteFile(elsewhere, MapText(Sample()));
  ASSERT_EQ(unlink(Path().c_str()), 0);
  ASSERT_EQ(symlink(elsewhere.c_str(), Path().c_str()), 0);
  GameMap map;
  EXPECT_EQ(ReadMapFile(Path(), map, what), MapFileState::kRefused);
  EXPECT_EQ(what, "is a link");
  EXPECT_FALSE(WriteMapFile(Path(), Sample(), what));
  EXPECT_EQ(ReadFile(elsewhere), MapText(Sample()));  // the link's target untouched

  ASSERT_EQ(unlink(Path().c_str()), 0);
  ASSERT_EQ(mkfifo(Path().c_str(), 0600), 0);
  EXPECT_EQ(ReadMapFile(Path(), map, what), MapFileState::kRefused);  // no hang
  EXPECT_FALSE(WriteMapFile(Path(), Sample(), what));

  ASSERT_EQ(unlink(Path().c_str()), 0);
  WriteFile(Path(), "narro-map 1\n" + std::string(kMapFileLimit, 'x'));
  EXPECT_EQ(ReadMapFile(Path(), map, what), MapFileState::kRefused);
  EXPECT_NE(what.find("larger"), std::string::npos);

  // Another user's map (one this user can write only as root).
  if (getuid() == 0) {
    ASSERT_TRUE(WriteMapFile(m_dir.File("maps/other.map"), Sample(), what));
    ASSERT_EQ(chown(m_dir.File("maps/other.map").c_str(), 1, 1), 0);
    EXPECT_EQ(ReadMapFile(m_dir.File("maps/other.map"), map, what), MapFileState::kRefused);
    EXPECT_EQ(what, "belongs to another user");
    EXPECT_FALSE(WriteMapFile(m_dir.File("maps/other.map"), Sample(), what));
  }
}

TEST_F(MapFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  std::string what;
  GameMap map = Sample();
  ASSERT_TRUE(WriteMapFile(Path(), map, what));
  const std::string before = ReadFile(Path());
  if (getuid() == 0) GTEST_SKIP() << "root writes into any folder";
  ASSERT_EQ(chmod(m_dir.File("maps").c_str(), 0500), 0);
  map.Learn(Arrive(L"west", L"Garden", L"Roses."));
  EXPECT_FALSE(WriteMapFile(Path(), map, what));
  ASSERT_EQ(chmod(m_dir.File("maps").c_str(), 0700), 0);
  EXPECT_EQ(ReadFile(Path()), before);
}

TEST_F(MapFileTest, AFullMapFitsItsFile) {
  GameMap map;
  for (size_t i = 0; i < GameMap::kRoomLimit; ++i) {
    map.AddRoom(std::wstring(GameMap::kNameLimit, L'\u00e9'), std::wstring(GameMap::kLookLimit, L'\u4e00'));
    for (int d = 0; d < kDirectionCount; ++d) map.SetExit(static_cast<int>(i), d, GameMap::Outcome::kRoom, 0);
  }
  std::string what;
  ASSERT_TRUE(WriteMapFile(Path(), map, what)) << what;
  GameMap read;
  EXPECT_EQ(ReadMapFile(Path(), read, what), MapFileState::kRead) << what;
  EXPECT_EQ(read.Rooms().size(), GameMap::kRoomLimit);
}

}  // namespace
}  // namespace player
