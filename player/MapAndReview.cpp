// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/MapAndReview.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "player/CleanText.h"
#include "player/GameView.h"
#include "player/KeyDecoder.h"
#include "player/LineEditor.h"
#include "player/MapFile.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
#include "player/Settings.h"
#include "player/SmallFiles.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

// A past turn in the review list: its command and this many of the
// reply's first words.
constexpr size_t kReviewWords = 8;

std::wstring FirstWords(const std::wstring& text, size_t count) {
  std::wstring words;
  size_t taken = 0;
  size_t at = 0;
  while (at < text.size() && taken < count) {
    while (at < text.size() && std::iswspace(text[at])) ++at;
    const size_t end = std::min(text.find_first_of(L" \t\n", at), text.size());
    if (end == at) break;
    if (!words.empty()) words += L' ';
    words += text.substr(at, end - at);
    ++taken;
    at = end;
  }
  return words;
}

}  // namespace

void MapAndReview::Forget() {
  m_map.Clear();
  m_mapChanged = false;
  m_mapOpened = false;
  m_mapPath.clear();
  m_mapProblem.clear();
  m_roomLook.clear();
  m_past.clear();
  m_pastChars = 0;
  m_stepping = false;
  m_list.reset();
  m_turnCommand.clear();
  m_reply.clear();
}

void MapAndReview::OpenMap(const std::string& story) {
  m_mapOpened = true;
  if (m_game.DataFolder().empty()) return;
  std::string folder = m_game.DataFolder();
  if (folder.back() != '/') folder += '/';
  // Named as the story's own files are, by its stem and its CRC: two
  // releases of one story are two maps.
  const std::string path = folder + "maps/" + BaseName(m_game.GameFilesFolder(story)) + ".map";
  std::string what;
  switch (ReadMapFile(path, m_map, what)) {
    case MapFileState::kMissing:
    case MapFileState::kRead:
      m_mapPath = path;
      return;
    case MapFileState::kRefused: {
      // Kept as it is for the player to look at; this session's map lives
      // in memory only.
      const std::wstring text = L"The map file " + platform::WideFromUtf8(path) + L" " +
                                platform::WideFromUtf8(what) +
                                L". It is kept as it is, and this game's map is not saved.";
      m_voice.Show(L"[" + text + L"]\n");
      m_toldMapProblem = false;
      m_mapProblem = text;
      return;
    }
  }
}

void MapAndReview::KeepMap() {
  if (!m_mapChanged || m_mapPath.empty()) return;
  m_mapChanged = false;
  std::string what;
  if (WriteMapFile(m_mapPath, m_map, what)) return;
  // Said once; the map goes on in memory.
  const std::wstring text = L"The map file " + platform::WideFromUtf8(m_mapPath) + L" " +
                            platform::WideFromUtf8(what) + L". The map is not saved.";
  m_mapPath.clear();
  m_voice.Show(L"[" + text + L"]\n");
  m_voice.Queue(text);
}

void MapAndReview::NoteReply(const std::wstring& text) {
  if (m_reply.size() < GameView::kTurnLimit) m_reply += text.substr(0, GameView::kTurnLimit - m_reply.size());
}

void MapAndReview::EndOfTurn(GameView& view) {
  // Read once the banner is on its way to the voice: the map's name needs
  // the story's CRC, and reading a large story for it would hold the
  // banner back.
  if (!m_mapOpened) OpenMap(m_game.Story());
  MapTurn turn;
  turn.command = m_turnCommand;
  const std::vector<std::wstring> rows = view.StatusRows();
  if (!rows.empty()) turn.statusRoom = StatusLineRoom(rows[0]);
  turn.headings = view.TakeHeadings();
  std::vector<std::wstring> paragraphs;
  for (const std::wstring& line : SplitLines(m_reply)) {
    const std::wstring trimmed = Trimmed(line);
    if (trimmed.empty()) continue;
    if (IsDeathLine(trimmed)) turn.died = true;
    paragraphs.push_back(trimmed);
  }
  if (m_map.Learn(turn)) m_mapChanged = true;
  // The room's heading and description, for the key that reads them: of
  // the status line's room when it names one.
  for (const auto& heading : turn.headings) {
    // UNDO's heading comes with a note, not the room's description.
    if (Trimmed(heading.second).rfind(L"[", 0) == 0) continue;
    const std::wstring name = Trimmed(heading.first);
    if (turn.statusRoom.empty() || name.compare(0, turn.statusRoom.size(), turn.statusRoom) == 0) {
      m_roomLook = name + (heading.second.empty() ? L"" : L"\n" + Trimmed(heading.second));
    }
  }
  if (!m_turnCommand.empty() || !paragraphs.empty()) {
    PastTurn past{m_turnCommand, std::move(paragraphs)};
    for (const std::wstring& paragraph : past.paragraphs) m_pastChars += paragraph.size();
    m_past.push_back(std::move(past));
    // A review list open (a timer's turn came) would no longer name the
    // turns it shows.
    if (m_list && m_list->kind == SpokenList::Kind::kReview) m_list.reset();
    while (m_past.size() > 1 && (m_past.size() > kPastLimit || m_pastChars > kPastCharLimit)) {
      for (const std::wstring& paragraph : m_past.front().paragraphs) m_pastChars -= paragraph.size();
      m_past.pop_front();
    }
  }
  m_turnCommand.clear();
  m_reply.clear();
  m_stepping = false;
  KeepMap();
  if (!m_mapProblem.empty() && !m_toldMapProblem && m_voice.Ready()) {
    m_toldMapProblem = true;
    m_voice.Queue(m_mapProblem);
  }
}

void MapAndReview::SayWaysFromHere() { m_voice.Tell(m_map.WaysFromHere()); }

void MapAndReview::OpenRouteList() {
  if (m_map.Rooms().empty()) {
    m_voice.Tell(L"The map is empty: no room is known yet.");
    return;
  }
  SpokenList list;
  list.kind = SpokenList::Kind::kRoute;
  for (int room : m_map.RoomsByLabel()) {
    list.entries.push_back(m_map.Label(room) + (room == m_map.Current() ? L", here" : L""));
    list.values.push_back(room);
  }
  const size_t count = list.entries.size();
  m_list = std::move(list);
  m_voice.Tell(L"Rooms known: " + NumberWord(count) +
               L". Enter for the way there, Escape to leave.");
  SayListEntry();
}

void MapAndReview::OpenUnexploredList() {
  const std::vector<std::pair<int, std::wstring>> rooms = m_map.Unexplored();
  if (rooms.empty()) {
    m_voice.Tell(L"No room known has a way its description names that was not tried.");
    return;
  }
  SpokenList list;
  list.kind = SpokenList::Kind::kUnexplored;
  for (const auto& [room, words] : rooms) {
    list.entries.push_back(words);
    list.values.push_back(room);
  }
  m_list = std::move(list);
  m_voice.Tell(L"Rooms with ways not tried: " + NumberWord(rooms.size()) + L", nearest first.");
  SayListEntry();
}

void MapAndReview::OpenReviewList() {
  if (m_past.empty()) {
    m_voice.Tell(L"No turn yet.");
    return;
  }
  SpokenList list;
  list.kind = SpokenList::Kind::kReview;
  for (size_t i = m_past.size(); i-- > 0;) {
    const PastTurn& past = m_past[i];
    std::wstring reply;
    for (size_t p = 0; p < past.paragraphs.size() && p < kReviewWords; ++p) reply += past.paragraphs[p] + L" ";
    reply = reply.empty() ? std::wstring(L"no reply") : FirstWords(reply, kReviewWords);
    list.entries.push_back((past.command.empty() ? std::wstring(L"The start") : past.command) + L": " + reply);
    list.values.push_back(static_cast<int>(i));
  }
  m_list = std::move(list);
  m_voice.Tell(L"Turns: " + NumberWord(m_past.size()) + L", newest first. Enter reads one whole.");
  SayListEntry();
}

void MapAndReview::SayListEntry() {
  if (!m_list || m_list->entries.empty()) return;
  m_voice.Answer(m_list->entries[m_list->at], true);
}

bool MapAndReview::OnListKey(const Key& key) {
  SpokenList& list = *m_list;
  const size_t last = list.entries.size() - 1;
  size_t at = list.at;
  switch (key.code) {
    case KeyCode::kUp: at = at > 0 ? at - 1 : 0; break;
    case KeyCode::kDown: at = std::min(at + 1, last); break;
    case KeyCode::kPageUp: at = at > 10 ? at - 10 : 0; break;
    case KeyCode::kPageDown: at = std::min(at + 10, last); break;
    case KeyCode::kHome: at = 0; break;
    case KeyCode::kEnd: at = last; break;
    case KeyCode::kEnter: ChooseListEntry(); return true;
    case KeyCode::kEscape:
      m_list.reset();
      m_voice.Answer(L"List closed.", false);
      return true;
    case KeyCode::kChar: {
      // The next entry from here that begins with the letter typed.
      const wchar_t wanted = static_cast<wchar_t>(std::towlower(key.ch));
      for (size_t step = 1; step <= list.entries.size(); ++step) {
        const size_t i = (list.at + step) % list.entries.size();
        if (!list.entries[i].empty() && static_cast<wchar_t>(std::towlower(list.entries[i][0])) == wanted) {
          at = i;
          break;
        }
      }
      break;
    }
    default:
      m_list.reset();
      return false;
  }
  list.at = at;
  if (!m_settings.screenReader) m_voice.Silence();
  SayListEntry();
  return true;
}

void MapAndReview::ChooseListEntry() {
  const SpokenList::Kind kind = m_list->kind;
  const int value = m_list->values[m_list->at];
  if (kind == SpokenList::Kind::kReview) {
    // The list stays open, for another turn after this one.
    const PastTurn& past = m_past[static_cast<size_t>(value)];
    std::wstring text = (past.command.empty() ? std::wstring(L"The start") : L"After " + past.command) + L".\n";
    for (const std::wstring& paragraph : past.paragraphs) text += paragraph + L"\n";
    m_voice.Answer(text, false);
    return;
  }
  m_list.reset();
  GoTowards(value);
}

void MapAndReview::GoTowards(int room) {
  const std::optional<std::vector<int>> route = m_map.Route(room);
  if (!route) {
    m_voice.Tell(m_map.Current() < 0
                     ? std::wstring(L"Where you are is not on the map, so no way is known.")
                     : L"No known way leads to " + m_map.Label(room) + L".");
    return;
  }
  std::wstring words = GameMap::RouteWords(*route);
  if (!route->empty()) {
    if (m_game.WaitsForKey()) {
      words += L" The game waits for a key, not a command.";
    } else if (m_editor.Replace(GameMap::RouteCommand(*route))) {
      words += L" On the command line; Enter sends it.";
    } else {
      words += L" Too long for the command line.";
    }
  }
  m_screen.Redraw();
  m_voice.Tell(words);
}

void MapAndReview::StepParagraph(int step) {
  if (m_past.empty()) {
    m_voice.Answer(L"No turn yet.", false);
    return;
  }
  // The place is the paragraph last read; at first, after the newest one.
  if (!m_stepping) {
    m_stepping = true;
    m_stepTurn = m_past.size() - 1;
    m_stepParagraph = m_past.back().paragraphs.size();
    if (step > 0) {
      m_voice.Answer(L"The newest paragraph was the last.", false);
      return;
    }
  }
  size_t turn = m_stepTurn;
  size_t paragraph = m_stepParagraph;
  bool moved = false;
  if (step < 0) {
    while (true) {
      if (paragraph > 0) {
        --paragraph;
        moved = true;
        break;
      }
      if (turn == 0) break;
      --turn;
      paragraph = m_past[turn].paragraphs.size();
    }
  } else {
    while (true) {
      if (paragraph + 1 < m_past[turn].paragraphs.size()) {
        ++paragraph;
        moved = true;
        break;
      }
      if (turn + 1 >= m_past.size()) break;
      ++turn;
      paragraph = static_cast<size_t>(-1);  // the next step is its first
    }
  }
  if (!moved) {
    m_voice.Answer(step < 0 ? L"The first paragraph kept." : L"The newest paragraph was the last.",
                   false);
    return;
  }
  m_stepTurn = turn;
  m_stepParagraph = paragraph;
  const PastTurn& past = m_past[turn];
  std::wstring text = past.paragraphs[paragraph];
  // Where a turn begins, whose reply it is.
  if (paragraph == 0 && !past.command.empty()) text = L"After " + past.command + L": " + text;
  m_voice.Answer(text, false);
}

void MapAndReview::SayRoomDescription() {
  m_voice.Answer(
      m_roomLook.empty() ? std::wstring(L"No room's description has been heard yet.") : m_roomLook,
      false);
}

void MapAndReview::SkipToLastParagraph() {
  const std::wstring* last = nullptr;
  for (size_t i = m_past.size(); i-- > 0 && last == nullptr;) {
    if (!m_past[i].paragraphs.empty()) last = &m_past[i].paragraphs.back();
  }
  if (last == nullptr) {
    m_voice.Answer(L"No turn yet.", false);
    return;
  }
  m_voice.Answer(*last, false);
}

}  // namespace player
