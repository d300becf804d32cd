// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameMap.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <deque>

namespace player {

namespace {

struct DirectionWords {
  const wchar_t* word;
  const wchar_t* name;
  const wchar_t* abbreviation;
};

const DirectionWords kDirections[kDirectionCount] = {
    {L"north", L"North", L"n"},         {L"south", L"South", L"s"},
    {L"east", L"East", L"e"},           {L"west", L"West", L"w"},
    {L"northeast", L"Northeast", L"ne"}, {L"northwest", L"Northwest", L"nw"},
    {L"southeast", L"Southeast", L"se"}, {L"southwest", L"Southwest", L"sw"},
    {L"up", L"Up", L"u"},               {L"down", L"Down", L"d"},
    {L"in", L"In", L""},                {L"out", L"Out", L""},
};

std::wstring Lower(const std::wstring& text) {
  std::wstring lower = text;
  for (wchar_t& ch : lower) ch = static_cast<wchar_t>(std::towlower(ch));
  return lower;
}

// Blanks made single, control characters made blanks, no blank at either
// end, at most `limit` characters (cut at a word where there is one).
std::wstring OneLine(const std::wstring& text, size_t limit) {
  std::wstring line;
  for (wchar_t ch : text) {
    const bool blank = ch < 0x20 || ch == 0x7f || std::iswspace(ch);
    if (blank) {
      if (!line.empty() && line.back() != L' ') line += L' ';
    } else {
      line += ch;
    }
    if (line.size() > limit) break;
  }
  if (line.size() > limit) {
    line.resize(limit);
    const size_t space = line.rfind(L' ');
    if (space != std::wstring::npos && space > limit / 2) line.resize(space);
  }
  while (!line.empty() && line.back() == L' ') line.pop_back();
  return line;
}

// A heading as its room's name: Inform adds where the player is within
// it ("Hall (on the chair)").
std::wstring HeadingName(const std::wstring& heading) {
  std::wstring name = OneLine(heading, GameMap::kNameLimit);
  if (!name.empty() && name.back() == L')') {
    const size_t open = name.rfind(L" (");
    if (open != std::wstring::npos && open > 0) name.resize(open);
  }
  return name;
}

std::wstring JoinedWithAnd(const std::vector<std::wstring>& words) {
  std::wstring joined;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) joined += i + 1 == words.size() ? L" and " : L", ";
    joined += words[i];
  }
  return joined;
}

std::wstring DirectionsWords(uint16_t directions) {
  std::vector<std::wstring> words;
  for (int d = 0; d < kDirectionCount; ++d) {
    if (directions & (1u << d)) words.push_back(kDirections[d].word);
  }
  return JoinedWithAnd(words);
}

std::wstring MovesWords(size_t moves) {
  return NumberWord(moves) + (moves == 1 ? L" move" : L" moves");
}

}  // namespace

const wchar_t* DirectionWord(int direction) { return kDirections[direction].word; }

std::wstring DirectionName(int direction) { return kDirections[direction].name; }

std::optional<int> MoveOf(const std::wstring& command) {
  std::wstring text = OneLine(Lower(command), 64);
  while (!text.empty() && (text.back() == L'.' || text.back() == L'!' || text.back() == L' ')) text.pop_back();
  // More than one command on the line: which of them moved is not known.
  if (text.find_first_of(L".,;") != std::wstring::npos || text.find(L" then ") != std::wstring::npos) {
    return std::nullopt;
  }
  for (const wchar_t* verb : {L"go ", L"walk ", L"run "}) {
    if (text.compare(0, wcslen(verb), verb) == 0) {
      text.erase(0, wcslen(verb));
      break;
    }
  }
  if (text == L"inside") return kIn;
  if (text == L"outside" || text == L"exit") return kOut;
  for (int d = 0; d < kDirectionCount; ++d) {
    if (text == kDirections[d].word || (*kDirections[d].abbreviation && text == kDirections[d].abbreviation)) {
      return d;
    }
  }
  return std::nullopt;
}

uint16_t DirectionsNamed(const std::wstring& text) {
  static const std::pair<const wchar_t*, int> kWords[] = {
      {L"north", kNorth}, {L"northward", kNorth}, {L"northwards", kNorth},
      {L"south", kSouth}, {L"southward", kSouth}, {L"southwards", kSouth},
      {L"east", kEast}, {L"eastward", kEast}, {L"eastwards", kEast},
      {L"west", kWest}, {L"westward", kWest}, {L"westwards", kWest},
      {L"northeast", kNortheast}, {L"north-east", kNortheast},
      {L"northwest", kNorthwest}, {L"north-west", kNorthwest},
      {L"southeast", kSoutheast}, {L"south-east", kSoutheast},
      {L"southwest", kSouthwest}, {L"south-west", kSouthwest},
      {L"up", kUp}, {L"upward", kUp}, {L"upwards", kUp}, {L"upstairs", kUp},
      {L"down", kDown}, {L"downward", kDown}, {L"downwards", kDown}, {L"downstairs", kDown},
  };
  uint16_t named = 0;
  const std::wstring lower = Lower(text);
  size_t at = 0;
  while (at < lower.size()) {
    while (at < lower.size() && !std::iswalpha(lower[at])) ++at;
    size_t end = at;
    while (end < lower.size() && (std::iswalpha(lower[end]) || lower[end] == L'-')) ++end;
    std::wstring word = lower.substr(at, end - at);
    while (!word.empty() && word.back() == L'-') word.pop_back();
    for (const auto& [known, direction] : kWords) {
      if (word == known) named = static_cast<uint16_t>(named | (1u << direction));
    }
    at = end;
  }
  return named;
}

std::wstring FirstSentence(const std::wstring& text) {
  const std::wstring line = OneLine(text, 4 * GameMap::kLookLimit);
  size_t end = std::wstring::npos;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if ((line[i] == L'.' || line[i] == L'!' || line[i] == L'?') && line[i + 1] == L' ') {
      end = i + 1;
      break;
    }
  }
  return OneLine(end == std::wstring::npos ? line : line.substr(0, end), GameMap::kLookLimit);
}

bool IsDeathLine(const std::wstring& line) {
  const std::wstring text = OneLine(Lower(line), 200);
  if (text.size() < 7 || text.compare(0, 3, L"***") != 0 || text.compare(text.size() - 3, 3, L"***") != 0) {
    return false;
  }
  for (const wchar_t* word : {L"die", L"dead", L"death", L"kill"}) {
    if (text.find(word) != std::wstring::npos) return true;
  }
  return false;
}

std::wstring NumberWord(size_t number) {
  static const wchar_t* const kWords[] = {L"no", L"one", L"two", L"three", L"four", L"five", L"six",
                                          L"seven", L"eight", L"nine", L"ten", L"eleven", L"twelve",
                                          L"thirteen", L"fourteen", L"fifteen", L"sixteen",
                                          L"seventeen", L"eighteen", L"nineteen", L"twenty"};
  return number <= 20 ? kWords[number] : std::to_wstring(number);
}

void GameMap::Clear() {
  m_rooms.clear();
  m_byName.clear();
  m_current = -1;
}

int GameMap::AddRoom(const std::wstring& name, const std::wstring& look) {
  if (m_rooms.size() >= kRoomLimit) return -1;
  Room room;
  room.name = OneLine(name, kNameLimit);
  room.look = OneLine(look, kLookLimit);
  const int index = static_cast<int>(m_rooms.size());
  m_byName[room.name].push_back(index);
  m_rooms.push_back(std::move(room));
  return index;
}

bool GameMap::SetExit(int from, int direction, Outcome outcome, int to) {
  if (from < 0 || static_cast<size_t>(from) >= m_rooms.size() || direction < 0 || direction >= kDirectionCount) {
    return false;
  }
  if (outcome == Outcome::kRoom && (to < 0 || static_cast<size_t>(to) >= m_rooms.size())) return false;
  Exit& exit = m_rooms[static_cast<size_t>(from)].exits[static_cast<size_t>(direction)];
  const Exit wanted{outcome, outcome == Outcome::kRoom ? to : -1};
  if (exit.outcome == wanted.outcome && exit.to == wanted.to) return false;
  exit = wanted;
  return true;
}

int GameMap::Identify(const std::wstring& name, const std::wstring& look, int expected, bool moving, bool& sure) {
  sure = true;
  const auto found = m_byName.find(name);
  const std::vector<int> none;
  const std::vector<int>& candidates = found == m_byName.end() ? none : found->second;
  const auto among = [&](int room) { return std::find(candidates.begin(), candidates.end(), room) != candidates.end(); };
  if (!look.empty()) {
    for (int room : candidates) {
      if (m_rooms[static_cast<size_t>(room)].look == look) return room;
    }
    // A description can change as the story goes on ("The door is open.
    // ..."): the room a known way leads to, or the room the player did not
    // leave, is still that room.
    if (among(expected)) return expected;
    if (!moving && among(m_current)) return m_current;
    // A room first met without its description (a game in brief mode) is
    // the one it now gets, when it is the only such room of that name.
    int unlooked = -1;
    int count = 0;
    for (int room : candidates) {
      if (m_rooms[static_cast<size_t>(room)].look.empty()) {
        unlooked = room;
        ++count;
      }
    }
    if (count == 1) {
      m_rooms[static_cast<size_t>(unlooked)].look = look;
      return unlooked;
    }
    return AddRoom(name, look);
  }
  if (among(expected)) return expected;
  if (among(m_current)) {
    sure = candidates.size() == 1;
    return m_current;
  }
  if (!candidates.empty()) {
    sure = candidates.size() == 1;
    return candidates.front();
  }
  return AddRoom(name, look);
}

bool GameMap::Learn(const MapTurn& turn) {
  const std::wstring status = OneLine(turn.statusRoom, kNameLimit);
  // The heading of the room the player is in: the last one of the status
  // line's name (a story's title may be styled as a heading too), else
  // the last one.
  const std::pair<std::wstring, std::wstring>* heading = nullptr;
  for (const auto& printed : turn.headings) {
    const std::wstring name = HeadingName(printed.first);
    if (name.empty()) continue;
    if (status.empty() || name == status) heading = &printed;
  }
  const std::wstring name = !status.empty() ? status : heading ? HeadingName(heading->first) : std::wstring();
  const std::optional<int> move = MoveOf(turn.command);
  const int from = m_current;
  Room* const left = from >= 0 ? &m_rooms[static_cast<size_t>(from)] : nullptr;

  if (turn.died) {
    // The way is deadly; where the player is (or was) stays as it was.
    if (move && left) return SetExit(from, *move, Outcome::kDeath, -1);
    return false;
  }
  if (name.empty()) {
    // A game without status line or heading this turn: the player stays.
    if (move && left && left->exits[static_cast<size_t>(*move)].outcome == Outcome::kUntried) {
      return SetExit(from, *move, Outcome::kBlocked, -1);
    }
    return false;
  }
  const bool moved = heading != nullptr || !left || left->name != name;
  if (!moved) {
    if (move && left->exits[static_cast<size_t>(*move)].outcome == Outcome::kUntried) {
      return SetExit(from, *move, Outcome::kBlocked, -1);
    }
    return false;
  }
  // What follows a heading is its room's description, unless it is one of
  // the library's bracketed notes ("[Previous turn undone.]" after UNDO).
  const std::wstring description =
      heading && OneLine(heading->second, 1) != L"[" ? heading->second : std::wstring();
  const std::wstring look = FirstSentence(description);
  const int expected =
      move && left && left->exits[static_cast<size_t>(*move)].outcome == Outcome::kRoom
          ? left->exits[static_cast<size_t>(*move)].to
          : -1;
  const size_t before = m_rooms.size();
  bool sure = true;
  const int room = Identify(name, look, expected, move.has_value(), sure);
  bool changed = m_rooms.size() != before;
  if (room < 0) {
    m_current = -1;
    return changed;
  }
  Room& here = m_rooms[static_cast<size_t>(room)];
  if (heading) {
    const uint16_t mentioned = DirectionsNamed(description);
    if ((here.mentioned | mentioned) != here.mentioned) {
      here.mentioned = static_cast<uint16_t>(here.mentioned | mentioned);
      changed = true;
    }
  }
  if (move && from >= 0 && sure) {
    if (room == from && heading && !here.alike) {
      // A move that showed a room the map cannot tell from the one left.
      here.alike = true;
      changed = true;
    }
    changed = SetExit(from, *move, Outcome::kRoom, room) || changed;
  }
  m_current = room;
  return changed;
}

std::wstring GameMap::Label(int room) const {
  const Room& it = m_rooms[static_cast<size_t>(room)];
  const auto found = m_byName.find(it.name);
  const bool shared = found != m_byName.end() && found->second.size() > 1;
  std::wstring label = it.name.empty() ? std::wstring(L"A room without a name") : it.name;
  if (shared && !it.look.empty()) {
    std::wstring look = it.look;
    while (!look.empty() && (look.back() == L'.' || look.back() == L'!' || look.back() == L'?')) look.pop_back();
    label += L", the one where: " + look;
  } else if (shared || it.alike) {
    label += L", one of several alike";
  }
  return label;
}

std::wstring GameMap::WaysFromHere() const {
  if (m_current < 0) return L"This room is not on the map yet.";
  const Room& here = m_rooms[static_cast<size_t>(m_current)];
  std::wstring words;
  uint16_t tried = 0;
  for (int d = 0; d < kDirectionCount; ++d) {
    const Exit& exit = here.exits[static_cast<size_t>(d)];
    if (exit.outcome == Outcome::kUntried) continue;
    tried = static_cast<uint16_t>(tried | (1u << d));
    if (!words.empty()) words += L' ';
    words += DirectionName(d) + L": ";
    switch (exit.outcome) {
      case Outcome::kRoom:
        words += exit.to == m_current ? L"the same room, or one alike" : Label(exit.to);
        break;
      case Outcome::kBlocked: words += L"blocked"; break;
      case Outcome::kDeath: words += L"death"; break;
      case Outcome::kUntried: break;
    }
    words += L'.';
  }
  const uint16_t untried = static_cast<uint16_t>(here.mentioned & ~tried);
  if (untried != 0) {
    if (!words.empty()) words += L' ';
    words += L"The description names " + DirectionsWords(untried) + L": not tried.";
  }
  if (words.empty()) words = L"No way from here has been tried.";
  return Label(m_current) + L". " + words;
}

std::vector<int> GameMap::Distances() const {
  std::vector<int> distance(m_rooms.size(), -1);
  if (m_current < 0) return distance;
  std::deque<int> queue{m_current};
  distance[static_cast<size_t>(m_current)] = 0;
  while (!queue.empty()) {
    const int at = queue.front();
    queue.pop_front();
    for (const Exit& exit : m_rooms[static_cast<size_t>(at)].exits) {
      if (exit.outcome != Outcome::kRoom || distance[static_cast<size_t>(exit.to)] >= 0) continue;
      distance[static_cast<size_t>(exit.to)] = distance[static_cast<size_t>(at)] + 1;
      queue.push_back(exit.to);
    }
  }
  return distance;
}

std::optional<std::vector<int>> GameMap::Route(int room) const {
  if (m_current < 0 || room < 0 || static_cast<size_t>(room) >= m_rooms.size()) return std::nullopt;
  // Breadth first from here, each room remembering how it was reached.
  std::vector<std::pair<int, int>> via(m_rooms.size(), {-1, -1});  // room before, direction
  std::vector<bool> seen(m_rooms.size(), false);
  std::deque<int> queue{m_current};
  seen[static_cast<size_t>(m_current)] = true;
  while (!queue.empty() && !seen[static_cast<size_t>(room)]) {
    const int at = queue.front();
    queue.pop_front();
    const Room& it = m_rooms[static_cast<size_t>(at)];
    for (int d = 0; d < kDirectionCount; ++d) {
      const Exit& exit = it.exits[static_cast<size_t>(d)];
      if (exit.outcome != Outcome::kRoom || seen[static_cast<size_t>(exit.to)]) continue;
      seen[static_cast<size_t>(exit.to)] = true;
      via[static_cast<size_t>(exit.to)] = {at, d};
      queue.push_back(exit.to);
    }
  }
  if (!seen[static_cast<size_t>(room)]) return std::nullopt;
  std::vector<int> route;
  for (int at = room; at != m_current; at = via[static_cast<size_t>(at)].first) {
    route.push_back(via[static_cast<size_t>(at)].second);
  }
  std::reverse(route.begin(), route.end());
  return route;
}

std::wstring GameMap::RouteWords(const std::vector<int>& route) {
  if (route.empty()) return L"You are there.";
  std::wstring words;
  for (size_t i = 0; i < route.size(); ++i) {
    std::wstring word = DirectionWord(route[i]);
    if (i == 0) word[0] = static_cast<wchar_t>(std::towupper(word[0]));
    if (i > 0) words += i + 1 == route.size() ? L", then " : L", ";
    words += word;
  }
  return words + L": " + MovesWords(route.size()) + L".";
}

std::wstring GameMap::RouteCommand(const std::vector<int>& route) {
  std::wstring command;
  for (int direction : route) {
    if (!command.empty()) command += L". ";
    command += DirectionWord(direction);
  }
  return command;
}

std::vector<int> GameMap::RoomsByLabel() const {
  std::vector<std::pair<std::wstring, int>> labelled;
  labelled.reserve(m_rooms.size());
  for (size_t i = 0; i < m_rooms.size(); ++i) labelled.emplace_back(Label(static_cast<int>(i)), static_cast<int>(i));
  std::sort(labelled.begin(), labelled.end());
  std::vector<int> rooms;
  rooms.reserve(labelled.size());
  for (const auto& entry : labelled) rooms.push_back(entry.second);
  return rooms;
}

bool GameMap::Untried(int room, uint16_t& directions) const {
  const Room& it = m_rooms[static_cast<size_t>(room)];
  directions = it.mentioned;
  for (int d = 0; d < kDirectionCount; ++d) {
    if (it.exits[static_cast<size_t>(d)].outcome != Outcome::kUntried) {
      directions = static_cast<uint16_t>(directions & ~(1u << d));
    }
  }
  return directions != 0;
}

std::vector<std::pair<int, std::wstring>> GameMap::Unexplored() const {
  const std::vector<int> distance = Distances();
  std::vector<std::pair<size_t, int>> found;  // distance (unknown last), room
  for (size_t i = 0; i < m_rooms.size(); ++i) {
    uint16_t directions = 0;
    if (!Untried(static_cast<int>(i), directions)) continue;
    found.emplace_back(distance[i] < 0 ? SIZE_MAX : static_cast<size_t>(distance[i]), static_cast<int>(i));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<int, std::wstring>> entries;
  for (const auto& [moves, room] : found) {
    uint16_t directions = 0;
    Untried(room, directions);
    std::wstring words = Label(room) + L": " + DirectionsWords(directions) + L"; ";
    if (moves == 0) words += L"here.";
    else if (moves == SIZE_MAX) words += L"no known way there.";
    else words += MovesWords(moves) + L".";
    entries.emplace_back(room, words);
  }
  return entries;
}

}  // namespace player
