// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MapFile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "player/SmallFiles.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

const char kFirstLine[] = "narro-map 1";

std::string Reason(int error) { return strerror(error); }

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

// A whole number of at most `most`, digits only.
bool Number(const std::string& text, unsigned long most, unsigned long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return value <= most;
}

// A name or a look as the file keeps it: tabs and line ends cannot be in
// it (the map keeps each on one line), and it is UTF-8.
std::string Field(const std::wstring& text) {
  std::string field = platform::Utf8FromWide(text);
  for (char& c : field) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return field;
}

const char* OutcomeWord(GameMap::Outcome outcome) {
  switch (outcome) {
    case GameMap::Outcome::kRoom: return "room";
    case GameMap::Outcome::kBlocked: return "blocked";
    case GameMap::Outcome::kDeath: return "death";
    case GameMap::Outcome::kUntried: break;
  }
  return "";
}

// Why the file at `path` may be neither read nor written; empty when it
// is a regular file of this user, or is not there (`missing`).
std::string Unfit(const std::string& path, bool& missing) {
  missing = false;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    missing = errno == ENOENT;
    return missing ? std::string() : "cannot be read (" + Reason(errno) + ")";
  }
  if (S_ISLNK(st.st_mode)) return "is a link";
  if (!S_ISREG(st.st_mode)) return "is not a regular file";
  if (st.st_uid != getuid()) return "belongs to another user";
  return std::string();
}

}  // namespace

std::string MapText(const GameMap& map) {
  std::string text = std::string(kFirstLine) + "\n";
  const std::vector<GameMap::Room>& rooms = map.Rooms();
  for (const GameMap::Room& room : rooms) {
    text += "room\t" + Field(room.name) + "\t" + Field(room.look) + "\t" + std::to_string(room.mentioned) + "\t" +
            (room.alike ? "1" : "0") + "\n";
  }
  for (size_t from = 0; from < rooms.size(); ++from) {
    for (int d = 0; d < kDirectionCount; ++d) {
      const GameMap::Exit& exit = rooms[from].exits[static_cast<size_t>(d)];
      if (exit.outcome == GameMap::Outcome::kUntried) continue;
      text += "exit\t" + std::to_string(from) + "\t" + platform::Utf8FromWide(DirectionWord(d)) + "\t" +
              OutcomeWord(exit.outcome) + "\t" + std::to_string(exit.outcome == GameMap::Outcome::kRoom ? exit.to : 0) +
              "\n";
    }
  }
  text += "end\t" + std::to_string(rooms.size()) + "\n";
  return text;
}

bool ParseMap(const std::string& text, GameMap& map, std::string& what) {
  map.Clear();
  if (!platform::IsUtf8(text)) {
    what = "is damaged (not UTF-8)";
    return false;
  }
  size_t lineNumber = 0;
  size_t start = 0;
  bool ended = false;
  std::vector<std::vector<std::string>> exits;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) break;  // a last line without its line feed: cut short
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    const std::string at = " (line " + std::to_string(lineNumber) + ")";
    if (ended) {
      what = "is damaged" + at;
      return false;
    }
    if (lineNumber == 1) {
      if (line != kFirstLine) {
        what = line.rfind("narro-map ", 0) == 0 ? "is of another version of narro-play" : "is damaged" + at;
        return false;
      }
      continue;
    }
    const std::vector<std::string> fields = Fields(line);
    unsigned long value = 0;
    if (fields[0] == "room" && fields.size() == 5 && exits.empty()) {
      unsigned long alike = 0;
      if (!Number(fields[3], (1ul << kDirectionCount) - 1, value) || !Number(fields[4], 1, alike)) {
        what = "is damaged" + at;
        return false;
      }
      const int room = map.AddRoom(platform::WideFromUtf8(fields[1]), platform::WideFromUtf8(fields[2]));
      if (room < 0) {
        what = "holds more than " + std::to_string(GameMap::kRoomLimit) + " rooms";
        return false;
      }
      map.RoomAt(room).mentioned = static_cast<uint16_t>(value);
      map.RoomAt(room).alike = alike == 1;
    } else if (fields[0] == "exit" && fields.size() == 5) {
      exits.push_back(fields);
      // Checked when every room is known; a map has at most twelve exits
      // a room, and a file with more is not one of ours.
      if (exits.size() > map.Rooms().size() * kDirectionCount) {
        what = "is damaged" + at;
        return false;
      }
    } else if (fields[0] == "end" && fields.size() == 2 && Number(fields[1], GameMap::kRoomLimit, value) &&
               value == map.Rooms().size()) {
      ended = true;
    } else {
      what = "is damaged" + at;
      return false;
    }
  }
  if (!ended) {
    what = "is damaged (cut short)";
    map.Clear();
    return false;
  }
  const unsigned long rooms = map.Rooms().size();
  std::vector<std::string> directionWords;
  for (int d = 0; d < kDirectionCount; ++d) directionWords.push_back(platform::Utf8FromWide(DirectionWord(d)));
  for (const std::vector<std::string>& exit : exits) {
    unsigned long from = 0;
    unsigned long to = 0;
    int direction = -1;
    for (int d = 0; d < kDirectionCount; ++d) {
      if (exit[2] == directionWords[static_cast<size_t>(d)]) direction = d;
    }
    GameMap::Outcome outcome = GameMap::Outcome::kUntried;
    if (exit[3] == "room") outcome = GameMap::Outcome::kRoom;
    if (exit[3] == "blocked") outcome = GameMap::Outcome::kBlocked;
    if (exit[3] == "death") outcome = GameMap::Outcome::kDeath;
    if (rooms == 0 || !Number(exit[1], rooms - 1, from) || !Number(exit[4], rooms - 1, to) || direction < 0 ||
        outcome == GameMap::Outcome::kUntried) {
      what = "is damaged (an exit)";
      map.Clear();
      return false;
    }
    map.SetExit(static_cast<int>(from), direction, outcome, static_cast<int>(to));
  }
  return true;
}

MapFileState ReadMapFile(const std::string& path, GameMap& map, std::string& what) {
  map.Clear();
  bool missing = false;
  what = Unfit(path, missing);
  if (missing) return MapFileState::kMissing;
  if (!what.empty()) return MapFileState::kRefused;
  // Not followed, not blocked on: what was checked above may have been
  // swapped since.
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return MapFileState::kMissing;
    what = errno == ELOOP ? "is a link" : "cannot be read (" + Reason(errno) + ")";
    return MapFileState::kRefused;
  }
  struct stat st;
  std::string text;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid();
  if (!ok) what = "is not a regular file of yours";
  char buffer[65536];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      what = "cannot be read (" + Reason(errno) + ")";
      ok = false;
    } else if (got == 0) {
      break;
    } else if (text.size() + static_cast<size_t>(got) > kMapFileLimit) {
      what = "is larger than " + std::to_string(kMapFileLimit >> 20) + " MiB";
      ok = false;
    } else {
      text.append(buffer, static_cast<size_t>(got));
    }
  }
  close(fd);
  if (!ok || !ParseMap(text, map, what)) {
    map.Clear();
    return MapFileState::kRefused;
  }
  return MapFileState::kRead;
}

bool WriteMapFile(const std::string& path, const GameMap& map, std::string& what) {
  bool missing = false;
  what = Unfit(path, missing);
  if (!what.empty()) return false;
  return WriteWholeFile(path, MapText(map), -1, what);
}

}  // namespace player
