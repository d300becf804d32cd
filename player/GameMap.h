// SPDX-License-Identifier: GPL-3.0-or-later
// The map a player learns by playing: the rooms met (by the status line's
// room, else the room's heading) and what came of each move in one of the
// twelve directions: another room, the same room (blocked) or a death.
// Pure: turns in, answers as words out; it reads and writes no file
// (MapFile.h does) and speaks nothing.
//
// Moves are facts about the story, not about one playing of it: a restore,
// an undo or a restart moves the player, and the map keeps all it learned.
// Rooms of one name are told apart by the first sentence of their
// description where the game prints it; a move that prints a heading and
// lands in a room the map cannot tell from the one left marks that room as
// one of several alike.
#ifndef NARRO_PLAYER_GAME_MAP_H_
#define NARRO_PLAYER_GAME_MAP_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace player {

// The twelve directions, in the order they are said.
enum Direction : int {
  kNorth, kSouth, kEast, kWest, kNortheast, kNorthwest, kSoutheast, kSouthwest, kUp, kDown, kIn, kOut
};
constexpr int kDirectionCount = 12;

// "north"; "North".
const wchar_t* DirectionWord(int direction);
std::wstring DirectionName(int direction);
// The direction a command goes ("n", "north", "go north", "walk ne."), or
// nothing when it is not one move alone ("n. e" is two, "open door" none).
std::optional<int> MoveOf(const std::wstring& command);
// The directions a text names as words (north, north-east, upstairs...), a
// bit per direction; in and out are left out, as words too common to mean
// a way.
uint16_t DirectionsNamed(const std::wstring& text);
// The text's first sentence, blanks made single, at most kLookLimit long.
std::wstring FirstSentence(const std::wstring& text);
// A line the game prints when the player dies ("*** You have died ***").
bool IsDeathLine(const std::wstring& line);
// "one" to "twenty", then digits.
std::wstring NumberWord(size_t number);

// What one turn showed, as the map needs it.
struct MapTurn {
  std::wstring command;     // the line the player sent; empty for the banner
  std::wstring statusRoom;  // the status line's room, when it has one
  // The turn's room headings and, for each, the paragraph after it (the
  // room's description), in the order printed.
  std::vector<std::pair<std::wstring, std::wstring>> headings;
  bool died = false;        // the turn printed a death line
};

class GameMap {
 public:
  enum class Outcome : uint8_t { kUntried, kRoom, kBlocked, kDeath };
  struct Exit {
    Outcome outcome = Outcome::kUntried;
    int to = -1;  // kRoom: the room reached
  };
  struct Room {
    std::wstring name;
    std::wstring look;        // its description's first sentence, when known
    uint16_t mentioned = 0;   // the directions its description names
    bool alike = false;       // one of several the map cannot tell apart
    std::array<Exit, kDirectionCount> exits;
  };

  // A map holds at most this many rooms: a hostile game (or file) that
  // names a new room at every turn must not take all the memory. Rooms
  // beyond it go unmapped.
  static constexpr size_t kRoomLimit = 10000;
  static constexpr size_t kNameLimit = 200;
  static constexpr size_t kLookLimit = 200;

  // Learns from one turn. True when the map changed (and is worth saving).
  bool Learn(const MapTurn& turn);

  // For MapFile and the tests: the rooms, and adding them as read.
  const std::vector<Room>& Rooms() const { return m_rooms; }
  // The index of the new room, -1 when the map is full. The name and the
  // look are made single-line and cut to their limits.
  int AddRoom(const std::wstring& name, const std::wstring& look);
  bool SetExit(int from, int direction, Outcome outcome, int to);
  Room& RoomAt(int index) { return m_rooms[static_cast<size_t>(index)]; }
  void Clear();

  // The room the player is in, -1 when unknown.
  int Current() const { return m_current; }
  void SetCurrent(int room) { m_current = room; }

  // The room's name as said, told apart from others of its name by its
  // description ("Cellar, where water drips") or said to be alike.
  std::wstring Label(int room) const;
  // Where the player can go from here: "North: Forest Path. East: blocked.
  // The description names west and south: not tried."
  std::wstring WaysFromHere() const;
  // The shortest known way from here to `room`, as directions; nothing
  // when none is known (an empty way: the player is there).
  std::optional<std::vector<int>> Route(int room) const;
  // "North, east, then up: three moves."
  static std::wstring RouteWords(const std::vector<int>& route);
  // The way as commands an Inform game takes in one line: "north. east. up".
  static std::wstring RouteCommand(const std::vector<int>& route);
  // Every room, sorted by its label (the route list).
  std::vector<int> RoomsByLabel() const;
  // The rooms whose description names directions not tried, nearest first
  // (those with no known way there last), and the words for each entry:
  // "Forest Path: west and south; two moves."
  std::vector<std::pair<int, std::wstring>> Unexplored() const;

 private:
  // The room a turn shows: `expected` is where the move made (`moving`)
  // is known to lead, -1 when none is. `sure` false when several fit and
  // none is known to be it; -1 when the map is full.
  int Identify(const std::wstring& name, const std::wstring& look, int expected, bool moving, bool& sure);
  std::vector<int> Distances() const;
  bool Untried(int room, uint16_t& directions) const;

  std::vector<Room> m_rooms;
  std::unordered_map<std::wstring, std::vector<int>> m_byName;
  int m_current = -1;
};

}  // namespace player

#endif  // NARRO_PLAYER_GAME_MAP_H_
