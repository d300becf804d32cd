// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play end to end: the real program in a real terminal (tmux), over
// emglken's real interpreters (Bocfel for Z-code, Glulxe for Glulx) and the
// real stories of the build, its speech played into WAV files and listed in
// speech.log. Keys go in as a player types them; what the player heard is
// read back from speech.log, what it saw from the screen.
//
// What is covered:
// - Windfall played to its winning end by keys, each turn checked against
//   narro-glk-script's own run of the walkthrough; the game's quit ends it.
// - Styled text (a bold room name, an underlined word, fixed-pitch text),
//   the status line read by F8 and a room only the status line names, a
//   quote box heard once, a menu that reads single keys, a timer that
//   rings without a key (Z-code and Glulx).
// - Saving (the name asked, Escape cancelling, a save replaced after Yes or
//   kept after No), restoring from the saved-games list (the game's own
//   restore and F6, Escape cancelling, Delete), for Z-code and Glulx; saves
//   beside the story, or in the data folder when that cannot be written.
// - The command line: cursor keys say the character, Backspace and Delete
//   what they remove, a comma echoes its word once, Alt-E, the game's
//   longest command; F1, F3/F4, F5, F7 and Escape, the rate and volume
//   keys, Ctrl-C, terminal resizes.
// - --interpreter with a stand-in speaking the protocol; and every way an
//   interpreter can fail (missing, refusing the story, killed, exiting
//   mid-game, not JSON, an update of 100 MB, a line of 100 MB that never
//   ends, no answer), each printed, spoken, status 1, in bounded time.
// - Story paths (missing, empty, not a story, spaces, a leading dash), and
//   the settings file (unreadable ones left alone, nothing written when
//   nothing changed, symlinks written through only to settings).
// - The map, learned as Atlas (a story of the tests' own with a known
//   map) is played: the ways from here, a route chosen and sent, the rooms
//   with ways not tried; kept between sessions, a damaged file or a FIFO
//   left alone. The review of past turns, and both beside a screen reader.
// Every run must leave the terminal's modes as it found them.
#include <gtest/gtest.h>
#include <dirent.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/player/StandIns.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmux.h"

namespace {

// Cave Quest.
const char kCaveEntrance[] = "A dark opening leads north into the hill.";
const char kCaveHall[] = "A vast hall of dripping stone.";
const char kCaveCrack[] = "You can barely turn round here.";
// Windfall.
const char kGate[] = "You stand at the orchard gate";
const char kOrchard[] = "You stand in the middle of the old orchard";
const char kKitchen[] = "You stand in the cottage kitchen";

// One request in speech.log: flags, rate, volume, voice id, text.
struct Utterance {
  std::string flags, rate, volume, voice, text;
};

// The log's complete lines; a line still being written is left for the
// next look.
std::vector<Utterance> ReadSpeechLog(const std::string& path) {
  std::vector<Utterance> utterances;
  const std::string log = ReadFile(path);
  size_t start = 0;
  for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = log.substr(start, end - start);
    std::vector<std::string> fields;
    size_t from = 0;
    for (int i = 0; i < 4; ++i) {
      const size_t tab = line.find('\t', from);
      if (tab == std::string::npos) break;
      fields.push_back(line.substr(from, tab - from));
      from = tab + 1;
    }
    if (fields.size() != 4) continue;
    utterances.push_back({fields[0], fields[1], fields[2], fields[3], line.substr(from)});
  }
  return utterances;
}

// Polls until `done` holds; the player works at its own pace, and a
// sanitizer build on a busy machine is slow. False after 60 s.
bool Eventually(const std::function<bool()>& done) {
  for (int tries = 0; tries < 6000; ++tries) {
    if (done()) return true;
    usleep(10000);
  }
  return done();
}

std::string Quoted(const std::string& text) { return ShellQuoted(text); }

std::string Story(const std::string& file) { return std::string(NARRO_PLAY_STORIES) + file; }

// The file names in a folder that end with `ending`.
std::vector<std::string> FilesEndingWith(const std::string& folder, const std::string& ending) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const struct dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() >= ending.size() &&
        name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
      names.push_back(name);
    }
  }
  closedir(dir);
  return names;
}

// The process whose command line's last word ends with `story`: the
// interpreter playing it. 0 when there is none.
pid_t ProcessPlaying(const std::string& story) {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  pid_t found = 0;
  while (const struct dirent* entry = readdir(proc)) {
    const pid_t pid = std::atoi(entry->d_name);
    if (pid <= 0) continue;
    std::string words = ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    if (words.empty()) continue;
    words.pop_back();  // the last word's NUL
    const size_t last = words.rfind('\0');
    const std::string lastWord = last == std::string::npos ? words : words.substr(last + 1);
    const bool ends = lastWord.size() >= story.size() &&
                      lastWord.compare(lastWord.size() - story.size(), story.size(), story) == 0;
    // Neither the cage that started it nor the player, whose command
    // names the story too.
    const std::string program = words.substr(0, words.find('\0'));
    const std::string name = program.substr(program.rfind('/') + 1);
    if (ends && name != "narro-cage" && name != "narro-play") {
      found = pid;
      break;
    }
  }
  closedir(proc);
  return found;
}

class NarroPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"game", "data", "conf"}) {
      ASSERT_EQ(mkdir(m_dir.File(folder).c_str(), 0700), 0) << folder;
    }
    CopyStory("cave.z5", "game/cave.z5");
  }

  std::string Path(const std::string& name) const { return m_dir.File(name); }

  void CopyStory(const std::string& from, const std::string& to) const {
    WriteFile(Path(to), ReadFile(from.find('/') == std::string::npos ? Story(from) : from));
  }

  // The save the player made for a name typed at "Save the game as":
  // NAME_%CRC%_.glksave in the folder; empty when there is none.
  std::string SaveFile(const std::string& name, const std::string& folder = "game/") const {
    for (const std::string& file : FilesEndingWith(Path(folder), "%_.glksave")) {
      if (file.rfind(name + "_%", 0) == 0 && file.find('%', name.size() + 2) == file.size() - 10) {
        return Path(folder + file);
      }
    }
    return std::string();
  }

  // A stand-in interpreter (StandIns.h), written to `name` in the test's
  // folder: the --interpreter option that runs it by python3.
  std::string StandIn(const std::string& name, const std::string& script) const {
    WriteFile(Path(name), script);
    return "--interpreter " + Quoted(std::string(NARRO_PLAY_PYTHON) + " " + Path(name));
  }

  // Starts narro-play in a terminal of its own, in the test's folder, with
  // `arguments` as given to the shell. The terminal's modes are noted
  // before and after, and the exit status is written to a file and shown.
  void Start(const std::string& arguments, const std::string& environment = "",
             int width = 100, int height = 30) {
    m_tmux.reset();
    ++m_run;
    m_next = 0;
    const std::string run = std::to_string(m_run);
    // The WAV end writes into a folder that is there already.
    mkdir(Path("wav" + run).c_str(), 0700);
    const std::string command =
        "cd " + Quoted(m_dir.path()) + " && stty -g > stty.before." + run +
        " && env NARRO_SPEECH=wav:" + Quoted(Path("wav" + run)) +
        " SPEECHD_ADDRESS=unix_socket:" + Quoted(Path("nobody.sock")) +
        " NARRO_DATA_DIR=" + Quoted(Path("data/")) + " XDG_CONFIG_HOME=" + Quoted(Path("conf")) +
        " " + environment + " " + Quoted(NARRO_PLAY) + " " + arguments +
        "; s=$?; stty -g > stty.after." + run + "; echo $s > exit." + run +
        "; echo EXIT=$s; sleep 600";
    m_tmux = std::make_unique<Tmux>(command, width, height);
  }

  Tmux& tmux() { return *m_tmux; }

  // Waits until the screen shows the text.
  bool Shown(const std::string& text) {
    if (Eventually([&] { return tmux().Screen().find(text) != std::string::npos; })) return true;
    ADD_FAILURE() << "never shown: " << text << "\nscreen:\n" << tmux().Screen();
    return false;
  }

  std::vector<Utterance> Speech() const {
    return ReadSpeechLog(Path("wav" + std::to_string(m_run) + "/speech.log"));
  }

  std::string SpeechText(size_t from = 0) const {
    std::string text;
    const std::vector<Utterance> speech = Speech();
    for (size_t i = from; i < speech.size(); ++i) text += speech[i].text + "\n";
    return text;
  }

  // How many requests from `from` on (to `to`, when given) are exactly
  // `text`.
  int CountHeard(const std::string& text, size_t from, size_t to = SIZE_MAX) const {
    const std::vector<Utterance> speech = Speech();
    int count = 0;
    for (size_t i = from; i < speech.size() && i < to; ++i) count += speech[i].text == text ? 1 : 0;
    return count;
  }

  // Waits until speech.log has, after what was heard before, a request
  // whose text contains `text` (or is `text`, when exact); what follows it
  // is heard next. Its index, -1 (and a failure) when it never came.
  int Heard(const std::string& text, bool exact = false) {
    int found = -1;
    Eventually([&] {
      const std::vector<Utterance> speech = Speech();
      for (size_t i = m_next; i < speech.size(); ++i) {
        if (exact ? speech[i].text == text : speech[i].text.find(text) != std::string::npos) {
          found = static_cast<int>(i);
          return true;
        }
      }
      return false;
    });
    if (found < 0) {
      ADD_FAILURE() << "never heard: " << text << "\nspeech.log from request " << m_next << ":\n"
                    << SpeechText(m_next) << "\nscreen:\n" << tmux().Screen();
      return -1;
    }
    m_next = static_cast<size_t>(found) + 1;
    return found;
  }

  // Waits until what was spoken from here on holds all of a turn's text,
  // its lines and paragraphs taken as one run of words; what follows is
  // heard next.
  void ExpectTurnHeard(const std::string& turn) {
    const std::string expected = Words(turn);
    if (expected.empty()) return;
    size_t last = 0;
    const bool heard = Eventually([&] {
      const std::vector<Utterance> speech = Speech();
      std::string spoken;
      for (size_t i = m_next; i < speech.size(); ++i) {
        spoken += " " + speech[i].text;
        if (Words(spoken).find(expected) != std::string::npos) {
          last = i;
          return true;
        }
      }
      return false;
    });
    if (!heard) {
      ADD_FAILURE() << "never heard: " << expected << "\nspeech.log from request " << m_next
                    << ":\n" << SpeechText(m_next) << "\nscreen:\n" << tmux().Screen();
      return;
    }
    m_next = last + 1;
  }

  // The text's words, one space between each two.
  static std::string Words(const std::string& text) {
    std::istringstream words(text);
    std::string word, joined;
    while (words >> word) joined += (joined.empty() ? "" : " ") + word;
    return joined;
  }

  // Literal keys, as typed.
  void Type(const std::string& text) { tmux().Keys("-l " + Quoted(text)); }

  // Types a command word by word, each followed by a space so that the
  // library echoes it, then Enter.
  void Send(const std::string& command) {
    std::istringstream words(command);
    std::string word;
    while (words >> word) {
      Type(word + " ");
      Heard(word, true);
    }
    tmux().Keys("Enter");
  }

  // The game's save question, answered through the library's input dialog.
  void SaveAs(const std::string& name) {
    Send("save");
    Heard("Save the game as", true);
    ASSERT_TRUE(Shown("Save the game as"));
    Type(name);
    tmux().Keys("Enter");
  }

  // The saved-games list of the story, opened by F6 or the game's restore;
  // what it says of its length.
  std::string OpenSavedGames(bool byCommand = false) {
    if (byCommand) Send("restore");
    else tmux().Keys("F6");
    if (!Shown("Saved Games")) return std::string();
    const int count = Heard(" in the list.");
    if (count < 0) return std::string();
    const std::string said = Speech()[count].text;
    return said.substr(0, said.find('.') + 1);
  }

  // Makes the save of that name the list's current entry, by its first
  // letter (an entry already current is not said again: the screen shows
  // which is), then restores it.
  void RestoreSave(const std::string& name) {
    Type(name.substr(0, 1));
    EXPECT_TRUE(Eventually([&] { return tmux().RowOf("> " + name) >= 0; })) << tmux().Screen();
    tmux().Keys("Enter");
  }

  // Ctrl-C, and Yes to the question.
  void Leave() {
    tmux().Keys("C-c");
    Heard("Leave the game?");
    Type("y");
    Heard("Goodbye.", true);
  }

  // The player's exit status, -1 (and a failure) when it never ended;
  // whatever the end, the terminal must be as the player found it.
  int ExitStatus() {
    const std::string file = Path("exit." + std::to_string(m_run));
    if (!Eventually([&] { return ReadFile(file).find('\n') != std::string::npos; })) {
      ADD_FAILURE() << "narro-play never ended; screen:\n" << tmux().Screen();
      return -1;
    }
    ExpectTerminalRestored();
    return std::atoi(ReadFile(file).c_str());
  }

  // The terminal's modes as the shell found them before the player.
  void ExpectTerminalRestored() {
    const std::string run = std::to_string(m_run);
    const std::string before = ReadFile(Path("stty.before." + run));
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(ReadFile(Path("stty.after." + run)), before);
  }

  // An interpreter's failure: narro-play says so on screen (the line is
  // `message` after "narro-play: ") and aloud, and ends with status 1.
  void ExpectFault(const std::string& message) {
    EXPECT_EQ(ExitStatus(), 1);
    EXPECT_TRUE(Shown("narro-play: " + message));
    Heard(message);
  }

  int LinesStartingWith(const std::string& prefix) {
    std::istringstream lines(tmux().Screen());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
  }

  TempDir m_dir;
  std::unique_ptr<Tmux> m_tmux;
  int m_run = 0;
  size_t m_next = 0;
};

// ---------------------------------------------------------------------
// Stories played.

// Windfall, from its start to its winning end, by keys alone: every command
// typed word by word (each word echoed), and every paragraph the game
// answers spoken, as narro-glk-script gives it in a run of its own.
TEST_F(NarroPlay, WindfallIsPlayedToItsWinningEndByKeys) {
  CopyStory("windfall.z5", "game/windfall.z5");
  std::vector<std::string> commands;
  for (const std::string& line :
       ReadLines(std::string(NARRO_PLAY_STORY_SOURCES) + "windfall.walkthrough")) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) commands.push_back(line);
  }
  ASSERT_FALSE(commands.empty());

  // One turn per prompt (a ">" line), the text before the first prompt the
  // first turn.
  std::string input;
  for (const std::string& command : commands) input += command + "\n";
  WriteFile(Path("walkthrough.txt"), input);
  std::string reference;
  ASSERT_EQ(RunShellCommand(Quoted(NARRO_PLAY_GLK_SCRIPT) + " " + Quoted(Path("game/windfall.z5")) +
                                " < " + Quoted(Path("walkthrough.txt")) + " 2>&1",
                            reference),
            0)
      << reference;
  std::vector<std::string> turns(1);
  std::istringstream lines(reference);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(">", 0) == 0) {
      turns.emplace_back();
      line.erase(0, 1);
    }
    turns.back() += " " + line;
  }
  ASSERT_GE(turns.size(), commands.size() + 1) << reference;
  ASSERT_NE(turns[commands.size()].find("*** You have won ***"), std::string::npos) << reference;
  ASSERT_NE(turns[commands.size()].find("Would you like to RESTART"), std::string::npos)
      << reference;

  Start("game/windfall.z5");
  ExpectTurnHeard(turns[0]);
  for (size_t i = 0; i < commands.size(); ++i) {
    SCOPED_TRACE("command " + std::to_string(i + 1) + ": " + commands[i]);
    Send(commands[i]);
    ExpectTurnHeard(turns[i + 1]);
  }
  // The game asks what next; its own quit ends it.
  Send("quit");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Shown("[The game has ended.]"));
}

// Every style reaches the ear as words: the bold room name, the underlined
// word in its sentence, the fixed-pitch sign.
TEST_F(NarroPlay, AStyledRoomNameAndAnUnderlinedWordAreHeard) {
  CopyStory("styles.z5", "game/styles.z5");
  Start("game/styles.z5");
  Heard("Plain Room", true);
  Heard("A bare room with one door, to the north.", true);
  Heard("A sign reads: EXIT NORTH", true);
  Send("north");
  Heard("Painted Hall", true);
  Heard("Pictures cover every wall.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, F8ReadsTheStatusLineAsWords) {
  CopyStory("windfall.z5", "game/windfall.z5");
  Start("game/windfall.z5");
  Heard(kGate);
  tmux().Keys("F8");
  Heard("Orchard Gate. Score 0. Moves 0.", true);
  Send("north");
  Heard(kOrchard);
  tmux().Keys("M-t");
  Heard("Old Orchard. Score 0. Moves 1.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A room the status line names and the story's text does not is said,
// unless Alt-N turned that off. Real stories name every room they move
// to (even a restore replays the text that did), so a stand-in moves the
// player silently.
TEST_F(NarroPlay, ARoomOnlyTheStatusLineNamesIsSaidUnlessAltNTurnedItOff) {
  const std::string standIn = StandIn("rooms.py", stand_ins::StatusLineRooms());
  Start(standIn + " game/cave.z5");
  Heard("Dust everywhere.");
  tmux().Keys("F8");
  Heard("Attic. Score 0. Moves 0.", true);
  Send("jump");
  Heard("Cellar.", true);
  Heard("The floor gives way, and you land in a heap.", true);
  tmux().Keys("M-n");
  Heard("New rooms on the status line are not said.", true);
  const size_t from = m_next;
  Send("jump");
  Heard("The floor gives way, and you land in a heap.", true);
  tmux().Keys("F8");
  Heard("Attic. Score 0. Moves 2.", true);
  EXPECT_EQ(CountHeard("Attic.", from), 0) << SpeechText(from);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_NE(ReadFile(Path("conf/narro/player.conf")).find("\nannounce-room=no\n"),
            std::string::npos);
}

TEST_F(NarroPlay, AQuoteBoxIsHeardLineByLineOnce) {
  CopyStory("quotebox.z5", "game/quotebox.z5");
  Start("game/quotebox.z5");
  Heard("A brass plaque hangs on the wall.");
  Send("read plaque");
  const size_t from = m_next;
  // The story's text, then the box that came with it.
  Heard("The words are cut deep into the brass.");
  Heard("Slow and steady");
  Heard("wins the race.");
  Send("look");
  Heard("Quiet Hall");
  Heard("A brass plaque hangs on the wall.");
  EXPECT_EQ(CountHeard("Slow and steady", from), 1) << SpeechText(from);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The menu reads single keys: a letter opens a topic, any key ends its
// pause, the arrows move and Enter opens, q leaves; then commands again.
TEST_F(NarroPlay, AMenuThatReadsSingleKeysGetsEachKey) {
  CopyStory("menu.z5", "game/menu.z5");
  Start("game/menu.z5");
  Heard("A desk, a lamp, and a card that says: type MENU for help.");
  Send("menu");
  Heard("Press a letter, or the arrow keys and Enter.");
  Type("b");
  Heard("Type commands such as LOOK, and QUIT to leave.");
  Heard("[Press any key.]");
  Type("x");
  Heard("> B: How to play");
  Heard("Press a letter, or the arrow keys and Enter.");
  tmux().Keys("Down");
  Heard("> C: Credits");
  tmux().Keys("Up");
  Heard("> B: How to play");
  tmux().Keys("Down");
  Heard("> C: Credits");
  tmux().Keys("Enter");
  Heard("Written for the Narro project.");
  Heard("[Press any key.]");
  tmux().Keys("Space");
  Heard("Press a letter, or the arrow keys and Enter.");
  Type("q");
  Heard("You close the menu.");
  Send("look");
  Heard("Small Study");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The status line is on the top row, where every interpreter draws it, and
// stays there as the text scrolls beneath; the score is heard as it changes.
// A restore is heard as the game's answer, never as Bocfel's replay of the
// saved scrollback.
TEST_F(NarroPlay, TheStatusLineIsOnTheTopRowTheScoreIsHeardAndARestoreReplaysNothing) {
  CopyStory("windfall.z5", "game/windfall.z5");
  Start("game/windfall.z5", "", 80, 16);
  Heard(kGate);
  EXPECT_TRUE(Eventually([&] { return tmux().Line(0).find("Orchard Gate") != std::string::npos; }))
      << tmux().Screen();
  for (const char* command : {"north", "north", "take handle", "south", "west"}) Send(command);
  Heard("Mossy Well");
  ASSERT_NO_FATAL_FAILURE(SaveAs("well"));
  Heard("Ok.", true);
  Send("turn winch");
  Heard("a wooden bucket rises");
  const int scored = Heard("Score 2, up 2.", true);
  EXPECT_TRUE(Eventually([&] {
    const std::string top = tmux().Line(0);
    return top.find("Mossy Well") != std::string::npos && top.find("Score: 2") != std::string::npos;
  })) << tmux().Screen();
  EXPECT_EQ(tmux().Screen().find("Orchard Gate"), std::string::npos) << "the old status went up with the text";

  const size_t restoring = static_cast<size_t>(scored + 1);
  OpenSavedGames(true);
  RestoreSave("well");
  Heard("Ok.", true);
  const std::string said = SpeechText(restoring);
  EXPECT_EQ(said.find("history playback"), std::string::npos) << said;
  EXPECT_EQ(said.find(kGate), std::string::npos) << said;
  // The score went back down: heard too, the top row shows it.
  Heard("Score 0, down 2.", true);
  EXPECT_TRUE(Eventually([&] { return tmux().Line(0).find("Score: 0") != std::string::npos; }))
      << tmux().Screen();
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A hint menu drawn afresh at every key, as TADS draws its own: opened, it
// is heard whole with its marked line said to be selected; each arrow key
// is heard as the line it marks, nothing else again.
TEST_F(NarroPlay, AMenuRedrawnAtEveryKeyIsHeardForTheLineItMarks) {
  CopyStory(std::string(NARRO_PLAY_HOSTILE_STORIES) + "hints.ulx", "game/hints.ulx");
  Start("game/hints.ulx");
  Heard("Type HINTS for help.");
  Send("hints");
  const int opened = Heard("Hint System Overview, selected.", true);
  Heard("A Few Words of Advice", true);
  Heard("General Questions", true);
  tmux().Keys("Down");
  const int down = Heard("A Few Words of Advice, selected.", true);
  tmux().Keys("Down");
  Heard("General Questions, selected.", true);
  tmux().Keys("Up");
  const int up = Heard("A Few Words of Advice, selected.", true);
  // Between the keys, nothing of the menu was said a second time.
  EXPECT_EQ(CountHeard("Hint System Overview", static_cast<size_t>(opened) + 1, static_cast<size_t>(up)), 0)
      << SpeechText(static_cast<size_t>(opened));
  EXPECT_EQ(CountHeard("General Questions", static_cast<size_t>(down), static_cast<size_t>(up)), 0)
      << SpeechText(static_cast<size_t>(opened));
  Type("q");
  Heard("You close the hints.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// Keys typed faster than a game reading single keys answers each one all
// reach it, in order.
TEST_F(NarroPlay, KeysTypedQuicklyIntoAMenuAllReachIt) {
  CopyStory("menu.z5", "game/menu.z5");
  Start("game/menu.z5");
  Heard("A desk, a lamp, and a card that says: type MENU for help.");
  Send("menu");
  Heard("Press a letter, or the arrow keys and Enter.");
  tmux().Keys("Down Down Up Down Enter");
  Heard("Written for the Narro project.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The bell rings about a second after the command: the game's timer ticks
// with no key pressed.
TEST_F(NarroPlay, TheTimerRingsTheBellWithoutAKeyInGlulxAndZcode) {
  for (const char* story : {"timer.ulx", "timer.z5"}) {
    SCOPED_TRACE(story);
    CopyStory(story, std::string("game/") + story);
    Start(std::string("game/") + story);
    Heard("A bronze bell hangs above you.");
    Send("wait for bell");
    Heard("You wait for the bell.");
    Heard("The bell rings.");
    // The game still takes commands after it.
    Send("look");
    Heard("Belfry");
    Leave();
    EXPECT_EQ(ExitStatus(), 0);
  }
}

// ---------------------------------------------------------------------
// Saving and restoring.

// Two saves, one replaced after Yes and kept after No, a cancelled save,
// the game quit, started again and a save restored from the list (F6).
TEST_F(NarroPlay, ZcodeSavesAreMadeReplacedOnlyAfterYesAndRestoredFromTheList) {
  CopyStory("windfall.z5", "game/windfall.z5");
  Start("game/windfall.z5");
  Heard(kGate);
  Send("north");
  Heard(kOrchard);
  ASSERT_NO_FATAL_FAILURE(SaveAs("first"));
  Heard("Ok.", true);
  const std::string first = SaveFile("first");
  ASSERT_FALSE(first.empty());
  const std::string orchard = ReadFile(first);
  Send("north");
  Heard(kKitchen);
  ASSERT_NO_FATAL_FAILURE(SaveAs("second"));
  Heard("Ok.", true);
  EXPECT_FALSE(SaveFile("second").empty());

  // No keeps the old save, and the game says it saved nothing.
  ASSERT_NO_FATAL_FAILURE(SaveAs("first"));
  Heard("A saved game called first exists. Replace it? Yes or No.", true);
  Type("n");
  Heard("Not replaced.", true);
  Heard("Save failed.");
  EXPECT_EQ(ReadFile(first), orchard);
  // Escape in the name dialog cancels: the game's own words again.
  Send("save");
  Heard("Save the game as", true);
  ASSERT_TRUE(Shown("Save the game as"));
  tmux().Keys("Escape");
  Heard("Save failed.");
  EXPECT_EQ(FilesEndingWith(Path("game/"), ".glksave").size(), 2u);
  // Yes replaces it.
  ASSERT_NO_FATAL_FAILURE(SaveAs("first"));
  Heard("A saved game called first exists. Replace it? Yes or No.", true);
  Type("y");
  Heard("Ok.", true);
  EXPECT_NE(ReadFile(first), orchard);
  Send("quit");
  Heard("Are you sure you want to quit?");
  Type("y");
  tmux().Keys("Enter");
  EXPECT_EQ(ExitStatus(), 0);

  Start("game/windfall.z5");
  Heard(kGate);
  EXPECT_EQ(OpenSavedGames(), "There are 2 entries in the list.");
  // Escape leaves the list: nothing restored, the game goes on.
  tmux().Keys("Escape");
  Heard("Not restored.", true);
  OpenSavedGames();
  RestoreSave("second");
  Heard("Ok.", true);
  Send("look");
  Heard(kKitchen);
  // The replaced save holds the kitchen too.
  OpenSavedGames();
  RestoreSave("first");
  Heard("Ok.", true);
  Send("south");
  Heard(kOrchard);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The game's own restore opens the list at once; Escape there is the
// game's failure, and the game goes on.
TEST_F(NarroPlay, GlulxSavesAreMadeAndRestoredByTheGamesOwnRestore) {
  CopyStory("windfall.ulx", "game/windfall.ulx");
  Start("game/windfall.ulx");
  Heard(kGate);
  Send("north");
  Heard(kOrchard);
  ASSERT_NO_FATAL_FAILURE(SaveAs("glulx"));
  Heard("Ok.", true);
  ASSERT_FALSE(SaveFile("glulx").empty());
  ASSERT_NO_FATAL_FAILURE(SaveAs("glulx"));
  Heard("A saved game called glulx exists. Replace it? Yes or No.", true);
  tmux().Keys("Escape");
  Heard("Not replaced.", true);
  Heard("Save failed.");
  Send("north");
  Heard(kKitchen);
  EXPECT_EQ(OpenSavedGames(true), "There are 1 entries in the list.");
  tmux().Keys("Escape");
  Heard("Restore failed.");
  Send("look");
  Heard(kKitchen);
  OpenSavedGames(true);
  RestoreSave("glulx");
  Heard("Ok.", true);
  Send("look");
  Heard(kOrchard);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, DeleteInTheSavedGamesListRemovesThatSaveOnly) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("alpha"));
  Heard("Ok.", true);
  const std::string alpha = SaveFile("alpha");
  ASSERT_FALSE(alpha.empty());
  const std::string save = ReadFile(alpha);
  // A second save of the same game under another name.
  std::string beta = alpha;
  beta.replace(beta.rfind("/alpha_") + 1, 5, "beta");
  WriteFile(beta, save);
  Send("east");
  Heard(kCaveCrack);
  EXPECT_EQ(OpenSavedGames(), "There are 2 entries in the list.");
  Type("b");
  Heard("beta");
  tmux().Keys("DC");
  Heard("Delete the saved game beta? Y or N", true);
  Type("y");
  Heard("deleted");
  EXPECT_TRUE(Eventually([&] { return !FileExists(beta); }));
  EXPECT_EQ(ReadFile(alpha), save);
  // The list stays open, without the deleted save; the other is restored.
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("beta") < 0; })) << tmux().Screen();
  EXPECT_NE(tmux().RowOf("alpha"), -1) << tmux().Screen();
  RestoreSave("alpha");
  Heard("Ok.", true);
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(alpha), save);
  EXPECT_FALSE(FileExists(beta));
}

TEST_F(NarroPlay, AStoryPathWithSpacesPlaysAndSavesBesideIt) {
  ASSERT_EQ(mkdir(Path("my games").c_str(), 0700), 0);
  CopyStory("cave.z5", "my games/cave quest.z5");
  Start(Quoted("my games/cave quest.z5"));
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("by the hall"));
  Heard("Ok.", true);
  EXPECT_FALSE(SaveFile("by the hall", "my games/").empty());
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A folder whose name is not UTF-8 (an é in Latin-1): its path stays bytes
// from the folder chooser to the interpreter, which takes names as UTF-8
// text only and is given the story and the saves through the folder it
// runs in; the story chosen in the games list starts, and its saves are
// made and restored.
TEST_F(NarroPlay, AStoryInAFolderNamedInLatin1IsSavedRestoredAndChosenFromTheGamesList) {
  const std::string folder = "\xE9";
  ASSERT_EQ(mkdir(Path(folder).c_str(), 0700), 0);
  CopyStory("cave.z5", folder + "/cave.z5");
  CopyStory("tower.z5", folder + "/tower.z5");
  Start(Quoted(folder + "/cave.z5"), "LC_ALL=C.UTF-8");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("hall"));
  Heard("Ok.", true);
  ASSERT_FALSE(SaveFile("hall", folder + "/").empty());
  Send("east");
  Heard(kCaveCrack);
  EXPECT_EQ(OpenSavedGames(), "There are 1 entries in the list.");
  RestoreSave("hall");
  Heard("Ok.", true);
  Send("look");
  Heard(kCaveHall);

  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  // The byte that does not decode is drawn as the character of its code.
  ASSERT_TRUE(Shown("> \xC3\xA9"));
  tmux().Keys("Enter");
  ASSERT_TRUE(Shown("Supported Games"));
  Heard("entries in the list.");
  Type("t");
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("> The Tower") >= 0; })) << tmux().Screen();
  tmux().Keys("Enter");
  Heard("End Cave Quest and start The Tower? Unsaved progress in Cave Quest is lost. Yes or No.", true);
  Type("y");
  Heard("Starting The Tower.", true);
  EXPECT_TRUE(Shown("/tower.z5]"));
  Heard("Foot of the Tower");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A story whose own name is not UTF-8 cannot be named to the interpreter:
// chosen in the games list, it is refused before the game being played is
// ended, so nothing of that game is lost.
TEST_F(NarroPlay, AStoryTheInterpreterCannotBeGivenLeavesTheGameGoingOn) {
  CopyStory("tower.z5", "game/caf\xE9.z5");
  Start("game/cave.z5", "LC_ALL=C.UTF-8");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  ASSERT_TRUE(Shown("> game"));
  tmux().Keys("Enter");
  ASSERT_TRUE(Shown("Supported Games"));
  Heard("entries in the list.");
  tmux().Keys("Down");
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("> caf") >= 0; })) << tmux().Screen();
  tmux().Keys("Enter");
  Heard("Unsaved progress in Cave Quest is lost. Yes or No.");
  Type("y");
  Heard("is not UTF-8 text. The game goes on.");
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A folder or file that cannot be written. Permission bits do not stop
// root; the immutable attribute does.
class LockedFolder {
 public:
  explicit LockedFolder(const std::string& path, bool bitsAreEnough = false) : m_path(path) {
    std::string out;
    if (geteuid() != 0 || bitsAreEnough) {
      struct stat info {};
      m_locked = stat(path.c_str(), &info) == 0 &&
                 chmod(path.c_str(), S_ISDIR(info.st_mode) ? 0500 : 0400) == 0;
    } else {
      m_locked = RunShellCommand("chattr +i " + Quoted(path) + " 2>/dev/null", out) == 0;
      m_immutable = m_locked;
    }
  }
  ~LockedFolder() {
    std::string out;
    if (m_immutable) RunShellCommand("chattr -i " + Quoted(m_path), out);
    if (m_locked && !m_immutable) chmod(m_path.c_str(), 0700);
  }
  bool locked() const { return m_locked; }

 private:
  std::string m_path;
  bool m_locked = false;
  bool m_immutable = false;
};

// The library reads a folder's permission bits as an ordinary user would,
// even for root: the bits alone send the save to the data folder.
TEST_F(NarroPlay, AStoryFolderThatCannotBeWrittenSavesInTheDataFolder) {
  LockedFolder game(Path("game"), true);
  ASSERT_TRUE(game.locked());
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("kept"));
  Heard("Ok.", true);
  EXPECT_FALSE(SaveFile("kept", "data/saves/").empty());
  EXPECT_TRUE(SaveFile("kept").empty());
  Send("east");
  Heard(kCaveCrack);
  // The list finds it there.
  OpenSavedGames();
  RestoreSave("kept");
  Heard("Ok.", true);
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, ASaveFolderThatCannotBeWrittenLosesNoSavedGame) {
  // An old save, made by the game itself.
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("old"));
  Heard("Ok.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  const std::string old = SaveFile("old");
  ASSERT_FALSE(old.empty());
  const std::string save = ReadFile(old);

  ASSERT_EQ(mkdir(Path("data/saves").c_str(), 0700), 0);
  LockedFolder oldSave(old);
  LockedFolder game(Path("game"));
  LockedFolder saves(Path("data/saves"));
  if (!game.locked() || !saves.locked() || !oldSave.locked()) {
    GTEST_SKIP() << "no way to make a folder unwritable here";
  }
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("east");
  Heard("You can't go that way.");
  // No folder takes a save: the player says so, and the game that it
  // saved nothing.
  ASSERT_NO_FATAL_FAILURE(SaveAs("old"));
  Heard("The game cannot be saved: the story file cannot be read, or no folder can be written.",
        true);
  Heard("Save failed.");
  ASSERT_NO_FATAL_FAILURE(SaveAs("new"));
  Heard("The game cannot be saved");
  Heard("Save failed.");
  // The game goes on, where it was.
  Send("look");
  Heard(kCaveEntrance);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(old), save);
  EXPECT_TRUE(SaveFile("new").empty());
  EXPECT_TRUE(SaveFile("new", "data/saves/").empty());
}

// ---------------------------------------------------------------------
// Stories that try to escape their cage.

// A story that deletes another story's save by name and makes a file
// beside itself, as soon as it starts: neither reaches the story's folder,
// whether it is played or only has its title read for the games list.
TEST_F(NarroPlay, AStoryReachingForFilesByNameTouchesNothingBesideIt) {
  CopyStory(std::string(NARRO_PLAY_HOSTILE_STORIES) + "escape.ulx", "game/escape.ulx");
  WriteFile(Path("game/victim_%516989EA%_.glksave"), "the player's saved game");
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  // F7 reads the unknown story's title by running it.
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  EXPECT_TRUE(Eventually([&] {
    return ReadFile(Path("data/User_Fingerprints.xml")).find("escape.ulx") != std::string::npos;
  }));
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  // And played.
  Start("game/escape.ulx");
  Heard("Bare walls. Nothing here can reach outside.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(Path("game/victim_%516989EA%_.glksave")), "the player's saved game");
  EXPECT_TRUE(FilesEndingWith(Path("game"), ".glkdata").empty());
  // What it made by name is its own, kept for its next session.
  EXPECT_EQ(system(("test -f " + Quoted(Path("data/game-files")) + "/escape_*/planted.glkdata").c_str()), 0);
}

// A transcript named where a link was planted is refused, and the link's
// target is untouched; a transcript under another name is written whole
// when the game closes it.
TEST_F(NarroPlay, ATranscriptThroughAPlantedLinkIsRefusedAndAnotherIsWritten) {
  WriteFile(Path("victim.txt"), "the player's own file");
  ASSERT_EQ(symlink(Path("victim.txt").c_str(), Path("game/notes.txt").c_str()), 0);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("script");
  Heard("Name the transcript file", true);
  Type("notes");
  tmux().Keys("Enter");
  Heard("The file cannot be written as notes.txt: it is a symbolic link.", true);
  EXPECT_EQ(ReadFile(Path("victim.txt")), "the player's own file");
  Send("script");
  Heard("Name the transcript file", true);
  Type("journey");
  tmux().Keys("Enter");
  Send("north");
  Heard(kCaveHall);
  Send("unscript");
  // Closed by the game: in place by its next turn.
  Send("look");
  Heard(kCaveHall);
  EXPECT_TRUE(Eventually([&] {
    return ReadFile(Path("game/journey.txt")).find("Start of a transcript of") != std::string::npos;
  })) << ReadFile(Path("game/journey.txt"));
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(Path("victim.txt")), "the player's own file");
}

// A FIFO where the save would go is refused, aloud, and the game goes on;
// so is a name too long for a file.
TEST_F(NarroPlay, ASaveOntoAFifoOrUnderAVeryLongNameIsRefusedAndTheGameGoesOn) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  ASSERT_NO_FATAL_FAILURE(SaveAs(std::string(300, 'a')));
  Heard("That name is too long: at most 100 characters. Nothing was written.", true);
  // A first save tells the FIFO's name: the same name with the story's tag.
  ASSERT_NO_FATAL_FAILURE(SaveAs("pipe"));
  Heard("Ok.", true);
  const std::string save = SaveFile("pipe");
  ASSERT_FALSE(save.empty());
  ASSERT_EQ(unlink(save.c_str()), 0);
  ASSERT_EQ(mkfifo(save.c_str(), 0600), 0);
  ASSERT_NO_FATAL_FAILURE(SaveAs("pipe"));
  Heard("The game cannot be saved as pipe: it is a named pipe.", true);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A save replaced on a full disk: the old save is as it was, the player
// hears why, and the game goes on. The story's folder is a small tmpfs
// (root only, as CI runs).
TEST_F(NarroPlay, ASaveReplacedOnAFullDiskLeavesTheOldOneAndTheGameGoesOn) {
  const std::string disk = Path("disk");
  ASSERT_EQ(mkdir(disk.c_str(), 0700), 0);
  if (mount("narro-test", disk.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "a small tmpfs needs root";
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk};
  CopyStory("cave.z5", "disk/cave.z5");
  Start("disk/cave.z5");
  Heard(kCaveEntrance);
  ASSERT_NO_FATAL_FAILURE(SaveAs("river"));
  Heard("Ok.", true);
  const std::string save = SaveFile("river", "disk/");
  ASSERT_FALSE(save.empty());
  const std::string before = ReadFile(save);
  // Fill what is left of the disk.
  std::string out;
  RunShellCommand("dd if=/dev/zero of=" + Quoted(disk + "/filler") + " bs=4k 2>/dev/null", out);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("river"));
  Heard("A saved game called river exists. Replace it? Yes or No.", true);
  Type("y");
  Heard("The game was not saved as " + save.substr(save.rfind('/') + 1) +
            ": the disk is full. Any saved game of that name is as it was.",
        true);
  EXPECT_EQ(ReadFile(save), before);
  // No half-written file is left taking the room.
  EXPECT_EQ(FilesEndingWith(disk, ".glksave").size(), 1u);
  Send("east");
  Heard(kCaveCrack);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// Stories that never show a banner cannot hold the games list: each has
// its few seconds, the player hears how far the reading is, and Escape
// stops it.
TEST_F(NarroPlay, StoriesThatNeverAnswerDelayTheGamesListBoundedlyAndEscapeStopsIt) {
  for (int i = 1; i <= 6; ++i) {
    CopyStory(std::string(NARRO_PLAY_HOSTILE_STORIES) + "silent.ulx", "game/silent" + std::to_string(i) + ".ulx");
  }
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F7");
  Heard("Reading titles: 0 of 6. Escape stops.", true);
  Heard("Reading titles: ");
  tmux().Keys("Escape");
  Heard("Stopped: the other stories are named by their files.", true);
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  // Named by its file, so that the list has it (the six are one story).
  EXPECT_NE(ReadFile(Path("data/User_Fingerprints.xml")).find("silent"), std::string::npos);
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// ---------------------------------------------------------------------
// The command line and the player's keys.

TEST_F(NarroPlay, CursorKeysSayTheCharacterAndDeletingKeysWhatGoes) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Type("go north");
  Heard("go", true);
  tmux().Keys("Home");
  Heard("g", true);
  tmux().Keys("Right");
  Heard("o", true);
  tmux().Keys("Right");
  Heard("space", true);
  tmux().Keys("End");
  Heard("blank", true);
  tmux().Keys("Left");
  Heard("h", true);
  tmux().Keys("BSpace");
  Heard("t", true);
  tmux().Keys("DC");
  Heard("h", true);
  tmux().Keys("F9");
  Heard("go nor", true);
  tmux().Keys("Home");
  Heard("g", true);
  tmux().Keys("DC");
  Heard("g", true);
  tmux().Keys("BSpace");  // nothing before the cursor: nothing said
  Type("th");
  tmux().Keys("F9");
  Heard("tho nor", true);
  EXPECT_EQ(CountHeard("blank", 0), 1) << SpeechText();
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// "north, " completes the word once, at the comma; Alt-E makes Enter say
// the last word, which it does not by default.
TEST_F(NarroPlay, ACommaEchoesItsWordOnceAndAltEMakesEnterSayTheLastWord) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Type("north, ");
  const int north = Heard("north", true);
  Type("x");
  tmux().Keys("F9");
  const int line = Heard("north, x", true);
  EXPECT_EQ(CountHeard("north", static_cast<size_t>(north) + 1, static_cast<size_t>(line)), 0)
      << SpeechText();
  for (int i = 0; i < 8; ++i) tmux().Keys("BSpace");
  Heard("n", true);
  tmux().Keys("F9");
  Heard("blank", true);

  Type("north");
  tmux().Keys("Enter");
  size_t from = m_next;
  Heard(kCaveHall);
  EXPECT_EQ(CountHeard("north", from), 0) << SpeechText(from);

  tmux().Keys("M-e");
  Heard("Enter says the last word.", true);
  Type("south");
  tmux().Keys("Enter");
  Heard("south", true);
  Heard(kCaveEntrance);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_NE(ReadFile(Path("conf/narro/player.conf")).find("\necho-last-word=yes\n"),
            std::string::npos);
}

// Bocfel takes commands of up to 120 characters; the 121st is refused
// aloud and the command goes as it is.
TEST_F(NarroPlay, ACommandIsCappedAtTheLengthTheGameTakes) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Type(std::string(119, 'z'));
  Type("yx");
  Heard("The game takes at most 120 characters.", true);
  tmux().Keys("F9");
  Heard(std::string(119, 'z') + "y", true);
  tmux().Keys("Enter");
  Heard("That's not a verb I recognise.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// Beside a screen reader narro-play speaks nothing and shows everything a
// voice would have said: the status line's news and its messages as lines,
// and no status rows drawn out of the cursor's way.
TEST_F(NarroPlay, BesideAScreenReaderNothingIsSpokenAndEverythingIsShown) {
  CopyStory("windfall.z5", "game/windfall.z5");
  Start("--screen-reader game/windfall.z5", "", 80, 24);
  ASSERT_TRUE(Shown(kGate));
  tmux().Keys("F8");
  EXPECT_TRUE(Shown("[Orchard Gate. Score 0. Moves 0.]"));
  tmux().Keys("M-n");
  EXPECT_TRUE(Shown("[New rooms on the status line are not said.]"));
  Type("north");
  tmux().Keys("Enter");
  EXPECT_TRUE(Shown(kOrchard));
  EXPECT_EQ(tmux().Line(0).find("Score"), std::string::npos) << tmux().Screen();
  tmux().Keys("C-c");
  ASSERT_TRUE(Shown("Leave the game?"));
  Type("y");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Speech().empty()) << SpeechText();
  EXPECT_EQ(tmux().Screen().find("Text to speech"), std::string::npos) << tmux().Screen();
  // The setting keeps the mode for the next runs.
  mkdir(Path("conf/narro").c_str(), 0700);
  WriteFile(Path("conf/narro/player.conf"), "screen-reader=yes\n");
  Start("game/windfall.z5", "", 80, 24);
  ASSERT_TRUE(Shown(kGate));
  tmux().Keys("F8");
  EXPECT_TRUE(Shown("[Orchard Gate. Score 0. Moves 0.]"));
  tmux().Keys("C-c");
  ASSERT_TRUE(Shown("Leave the game?"));
  Type("y");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Speech().empty()) << SpeechText();
}

TEST_F(NarroPlay, F1ListsTheKeysAndTheVoiceKeysChangeVolumeAndRate) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F1");
  Heard("Keys of narro-play:");
  Heard("Alt minus, Alt equals: speak slower, faster");
  Heard("Alt comma, Alt period: speak softer, louder");
  tmux().Keys("M-,");
  const int softer = Heard("Volume 90", true);
  ASSERT_GE(softer, 0);
  EXPECT_EQ(Speech()[softer].volume, "90");
  tmux().Keys("M-.");
  Heard("Volume 100", true);
  Type("\x1b-");  // Alt and minus
  const int slower = Heard("Rate -1", true);
  ASSERT_GE(slower, 0);
  EXPECT_EQ(Speech()[slower].rate, "-1");
  tmux().Keys("M-=");
  Heard("Rate 0", true);
  Send("north");
  const int hall = Heard(kCaveHall);
  ASSERT_GE(hall, 0);
  EXPECT_EQ(Speech()[hall].rate, "0");
  EXPECT_EQ(Speech()[hall].volume, "100");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, EscapeInEachListLeavesTheGameAsItWas) {
  CopyStory("tower.z5", "game/tower.z5");
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F3");
  ASSERT_TRUE(Shown("Word List"));
  Heard("entries in the list.");
  tmux().Keys("Escape");
  Heard("Nothing inserted.", true);
  tmux().Keys("F4");
  Heard("entries in the list.");
  tmux().Keys("Escape");
  Heard("Nothing inserted.", true);
  tmux().Keys("F5");
  ASSERT_TRUE(Shown("Installed voices"));
  Heard("entries in the list.");
  tmux().Keys("Escape");
  Heard("The voice stays as it was.", true);
  // The games list first makes the stories beside this one known.
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  EXPECT_TRUE(Eventually([&] {
    return ReadFile(Path("data/User_Fingerprints.xml")).find("tower.z5") != std::string::npos;
  })) << ReadFile(Path("data/User_Fingerprints.xml"));
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  // Nothing was changed: no settings file was made.
  EXPECT_FALSE(FileExists(Path("conf/narro/player.conf")));
}

TEST_F(NarroPlay, AWordFromTheWordListGoesIntoTheCommandAndIsSent) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  Send("east");
  Heard("You can see a brass lantern here.");
  Type("take ");
  Heard("take", true);
  tmux().Keys("F3");
  ASSERT_TRUE(Shown("Word List"));
  Heard("entries in the list.");
  Type("l");
  Heard("lantern", true);
  tmux().Keys("Enter");
  Heard("lantern", true);  // said again as it goes into the command
  ASSERT_TRUE(Shown(">take lantern"));
  tmux().Keys("Enter");
  Heard("Taken.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, RateAndVoiceChosenByKeysHoldAfterARestart) {
  Start("game/cave.z5");
  const int first = Heard(kCaveEntrance);
  ASSERT_GE(first, 0);
  const std::string defaultVoice = Speech()[first].voice;
  EXPECT_EQ(Speech()[first].rate, "0");
  tmux().Keys("M-=");
  const int rate = Heard("Rate 1", true);
  ASSERT_GE(rate, 0);
  EXPECT_EQ(Speech()[rate].rate, "1");
  tmux().Keys("F5");
  ASSERT_TRUE(Shown("Installed voices"));
  Heard("entries in the list.");
  Type("g");
  const int chosen = Heard("G");
  ASSERT_GE(chosen, 0);
  const std::string voiceName = Speech()[chosen].text;
  tmux().Keys("Enter");
  Heard("Voice ");
  ASSERT_TRUE(Eventually([&] {
    const std::string settings = ReadFile(Path("conf/narro/player.conf"));
    return settings.find("\nvoice=\n") == std::string::npos &&
           settings.find("\nvoice=") != std::string::npos;
  })) << ReadFile(Path("conf/narro/player.conf"));
  // The next echo is in the new voice, at the new rate.
  Type("look ");
  const int echo = Heard("look", true);
  ASSERT_GE(echo, 0);
  const std::string voice = Speech()[echo].voice;
  EXPECT_NE(voice, defaultVoice) << voiceName;
  EXPECT_EQ(Speech()[echo].rate, "1");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  const std::string settings = ReadFile(Path("conf/narro/player.conf"));
  EXPECT_NE(settings.find("\nvoice=" + voice + "\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("\nrate=1\n"), std::string::npos) << settings;

  Start("game/cave.z5");
  const int again = Heard(kCaveEntrance);
  ASSERT_GE(again, 0);
  EXPECT_EQ(Speech()[again].voice, voice);
  EXPECT_EQ(Speech()[again].rate, "1");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, AResizeWhileSpeakingLeavesThePlayerGoingOn) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);  // still being played when the window changes
  tmux().Run("resize-window -t 0 -x 60 -y 20");
  Send("east");
  Heard(kCaveCrack);
  tmux().Run("resize-window -t 0 -x 120 -y 40");
  Send("west");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, AResizeDuringTheLeaveQuestionLeavesTheQuestionOpen) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("C-c");
  Heard("Leave the game?");
  tmux().Run("resize-window -t 0 -x 70 -y 25");
  // The question still waits for its answer.
  Type("y");
  Heard("Goodbye.", true);
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, CtrlCThenYesSaysGoodbyeAndLeavesWithStatusZero) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Type("nor");
  tmux().Keys("C-c");
  Heard("Leave the game? What is not saved is lost. Yes or No.", true);
  Type("y");
  Heard("Goodbye.", true);
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Shown("Yes"));
}

// A request to stop ends the player even while a library dialog holds the
// terminal: the dialog gives up, the game's files are placed, the terminal
// is put back.
TEST_F(NarroPlay, SigtermWhileADialogIsOpenEndsThePlayer) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F5");
  Heard(" in the list.");
  // narro-play itself: the one started in this test's folder.
  pid_t player = 0;
  DIR* proc = opendir("/proc");
  ASSERT_NE(proc, nullptr);
  while (const struct dirent* entry = readdir(proc)) {
    const pid_t pid = std::atoi(entry->d_name);
    char cwd[4096] = {};
    if (pid <= 0 || ReadFile("/proc/" + std::to_string(pid) + "/comm") != "narro-play\n") continue;
    const ssize_t length = readlink(("/proc/" + std::to_string(pid) + "/cwd").c_str(), cwd, sizeof cwd - 1);
    if (length > 0 && std::string(cwd, static_cast<size_t>(length)) + "/" == m_dir.path()) player = pid;
  }
  closedir(proc);
  ASSERT_GT(player, 0);
  ASSERT_EQ(kill(player, SIGTERM), 0);
  EXPECT_EQ(ExitStatus(), 128 + SIGTERM);
}

TEST_F(NarroPlay, CtrlCThenNoGoesOnWithTheGame) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("C-c");
  Heard("Leave the game?");
  Type("n");
  Heard("The game goes on.", true);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// ---------------------------------------------------------------------
// Story paths.

TEST_F(NarroPlay, AMissingStoryIsNamedAndEndsWithStatusOne) {
  Start("game/nowhere.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(Shown("narro-play: game/nowhere.z5: No such file or directory"));
}

TEST_F(NarroPlay, AnEmptyStoryFileIsNamedAndEndsWithStatusOne) {
  WriteFile(Path("game/empty.z5"), "");
  Start("game/empty.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(Shown("narro-play: game/empty.z5: the file is empty"));
}

TEST_F(NarroPlay, AFileNoInterpreterPlaysEndsWithAMessageAndStatusOne) {
  std::string garbage;
  for (int i = 0; i < 200; ++i) garbage += "This is not a story file at all.\n";
  WriteFile(Path("game/garbage.z5"), garbage);
  Start("game/garbage.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(Shown("narro-play: " + Path("game/garbage.z5") +
                    ": not a story file any interpreter here plays"));
  Heard("garbage.z5: not a story file any interpreter here plays");
}

TEST_F(NarroPlay, AStoryNameStartingWithADashIsTakenAfterDoubleDash) {
  CopyStory("cave.z5", "-cave.z5");
  Start("-- -cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// ---------------------------------------------------------------------
// Interpreters named by --interpreter, and interpreters failing.

// A stand-in speaking the protocol: its words, the longest command it
// takes, no status line, and its own end after "quit".
TEST_F(NarroPlay, TheInterpreterOptionRunsThatCommandWithTheStoryAppended) {
  // It can write nothing outside its cage: it says what it was given.
  StandIn("stand in.py", stand_ins::SaysWhatItWasGiven());
  // A path with a space, in quotes, and an option of the command's own.
  Start("--interpreter " +
        Quoted(std::string(NARRO_PLAY_PYTHON) + " \"" + Path("stand in.py") + "\" --flag") +
        " game/cave.z5");
  Heard("Hello from the stand-in.", true);
  // The story, named through a link in the interpreter's own folder.
  const int given = Heard("Given: --flag and /");
  ASSERT_GE(given, 0);
  const std::string story = Speech()[given].text.substr(std::string("Given: --flag and ").size());
  EXPECT_EQ(story.substr(story.rfind('/') + 1), "cave.z5");
  tmux().Keys("F8");
  Heard("No status line.", true);
  Type(std::string(21, 'w'));
  Heard("The game takes at most 20 characters.", true);
  for (int i = 0; i < 20; ++i) tmux().Keys("BSpace");
  Send("hello");
  Heard("You said: hello", true);
  Send("quit");
  Heard("Bye from the stand-in.", true);
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Shown("[The game has ended.]"));
}

TEST_F(NarroPlay, AnInterpreterThatIsNotThereEndsWithAMessageAndStatusOne) {
  Start("--interpreter /nowhere/x game/cave.z5");
  ExpectFault("/nowhere/x cannot be started: No such file or directory");
}

TEST_F(NarroPlay, AnInterpreterThatRefusesTheStoryEndsWithItsReason) {
  const std::string standIn = StandIn("refuse.py", stand_ins::RefusesTheStory());
  Start(standIn + " game/cave.z5");
  ExpectFault("the interpreter ended before the game started: the interpreter exited with status 3");
  EXPECT_TRUE(Shown("refuse: this story is not for me"));
}

// The real interpreter, started through a wrapper, killed in the middle of
// a game with half a command typed. The wrapper can write nothing outside
// its cage: its process is found by the story it plays.
TEST_F(NarroPlay, AnInterpreterKilledMidGameEndsWithAMessageAndStatusOne) {
  WriteFile(Path("wrapper.py"), "import os, sys\nos.execvp(sys.argv[1], sys.argv[1:])\n");
  CopyStory("cave.z5", "game/killed.z5");
  Start("--interpreter " +
        Quoted(std::string(NARRO_PLAY_PYTHON) + " " + Path("wrapper.py") + " node " NARRO_PLAY_RUNNER
               " --vm bocfel --rem=true --") +
        " game/killed.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  Type("sou");  // half a command on the line
  const pid_t pid = ProcessPlaying("/killed.z5");
  ASSERT_GT(pid, 1);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  ExpectFault("the interpreter stopped: the interpreter was killed by signal 9");
}

// Nothing of the game outlives the player: a process the interpreter
// started, which ignores SIGTERM, is killed with its group.
TEST_F(NarroPlay, AProcessTheInterpreterStartedDoesNotOutliveThePlayer) {
  const std::string standIn = StandIn("spawner.py", stand_ins::StartsAChild());
  Start(standIn + " game/cave.z5");
  const int said = Heard("Child ");
  ASSERT_GE(said, 0);
  const pid_t child = std::atoi(Speech()[said].text.substr(6).c_str());
  ASSERT_GT(child, 1);
  ASSERT_EQ(kill(child, 0), 0);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  // Killed; reaped by whoever adopted it.
  EXPECT_TRUE(Eventually([&] {
    const std::string stat = ReadFile("/proc/" + std::to_string(child) + "/stat");
    return stat.empty() || stat.find(") Z ") != std::string::npos;
  }));
  kill(child, SIGKILL);
}

// An interpreter that ends while the game waits for an answer has not
// ended the game, whatever its exit status: the real one says first that
// no more input is wanted.
TEST_F(NarroPlay, AnInterpreterExitingMidGameWithStatusZeroIsAFault) {
  const std::string standIn = StandIn("quits.py", stand_ins::QuitsMidGame());
  Start(standIn + " game/cave.z5");
  Heard("A game that leaves.", true);
  Send("look");
  ExpectFault("the interpreter stopped: the interpreter exited with status 0");
}

TEST_F(NarroPlay, AnInterpreterWritingWhatIsNotJsonEndsWithAMessageAndStatusOne) {
  const std::string standIn = StandIn("chatty.py", stand_ins::WritesWhatIsNotJson());
  Start(standIn + " game/cave.z5");
  Heard("All is well so far.", true);
  Send("look");
  ExpectFault("the interpreter wrote something that is not JSON: \"Segmentation fault, or so");
}

// An interpreter's words reach the terminal only as text: its game text,
// its last words on standard error and what it wrote that is not JSON
// hold sequences that would retitle the terminal, clear the screen and
// colour it; none of them does, and nothing of them is left to see.
TEST_F(NarroPlay, EscapeSequencesFromTheInterpreterNeverReachTheTerminal) {
  const std::string standIn = StandIn("hostile.py", stand_ins::WritesEscapeSequences());
  Start(standIn + " game/cave.z5");
  Heard("Calm red text, reversed.", true);
  EXPECT_TRUE(Shown("Calm red text, reversed.")) << tmux().Screen();
  Send("look");
  ExpectFault("the interpreter wrote something that is not JSON");
  EXPECT_TRUE(Shown("last words  end")) << tmux().Screen();
  EXPECT_TRUE(Shown("Calm red text, reversed.")) << "the screen was cleared";
  EXPECT_EQ(tmux().Screen().find("[41m"), std::string::npos) << tmux().Screen();
  EXPECT_EQ(tmux().Screen().find("[2J"), std::string::npos) << tmux().Screen();
  EXPECT_EQ(tmux().Screen().find("PWNED"), std::string::npos) << tmux().Screen();
  const std::string after = tmux().Run("display-message -p '#{pane_title}'");
  EXPECT_EQ(after.find("PWNED"), std::string::npos) << after;
}

TEST_F(NarroPlay, AnUpdateOfAHundredMegabytesIsRefusedAtSixteen) {
  const std::string standIn = StandIn("huge.py", stand_ins::SendsAHugeUpdate());
  Start(standIn + " game/cave.z5");
  ExpectFault("the interpreter sent an update larger than 16 MiB");
}

TEST_F(NarroPlay, ALineOfAHundredMegabytesThatNeverEndsIsRefusedAtSixteen) {
  const std::string standIn = StandIn("endless.py", stand_ins::SendsAnEndlessLine());
  Start(standIn + " game/cave.z5");
  Heard("A game about to babble.", true);
  Send("look");
  ExpectFault("the interpreter sent an update larger than 16 MiB");
}

// The player gives up on an interpreter that has not answered for 10 s.
TEST_F(NarroPlay, AnInterpreterThatNeverAnswersIsGivenUp) {
  const std::string standIn = StandIn("silent.py", stand_ins::FallsSilent());
  Start(standIn + " game/cave.z5");
  Heard("A game about to fall silent.", true);
  Send("look");
  ExpectFault("the interpreter has not answered for 10 seconds");
}

// Commands typed while the game is still answering go to it in order, none
// lost, however many the player types ahead.
TEST_F(NarroPlay, CommandsTypedWhileTheGameIsBusyAllGoInOrder) {
  const std::string standIn = StandIn("slow.py", stand_ins::SlowAtFirst());
  Start(standIn + " game/cave.z5");
  Heard("A slow game.", true);
  for (const char* command : {"first", "second", "third"}) Send(command);
  Heard("You said: first", true);
  Heard("You said: second", true);
  Heard("You said: third", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// An interpreter that stops reading and talks on, update after update, is
// at fault: its updates never answer what the player sent.
TEST_F(NarroPlay, AnInterpreterSendingUpdatesNothingAskedForIsAFault) {
  const std::string standIn = StandIn("chatter.py", stand_ins::TalksUnasked());
  Start(standIn + " game/cave.z5");
  Heard("A game that talks over the player.", true);
  ExpectFault("the interpreter sends updates nothing asked for");
}

// An update of a megabyte, twenty thousand paragraphs at once: the player
// keeps the end of it, and still answers.
TEST_F(NarroPlay, AnUpdateOfAMegabyteStillLeavesThePlayerAnswering) {
  const std::string standIn = StandIn("flood.py", stand_ins::FloodsAtStart());
  Start(standIn + " game/cave.z5");
  Heard("Line 20000 of a story");
  ASSERT_TRUE(Shown("Line 20000 of a story"));
  Send("hello");
  Heard("You said: hello", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// Text that is not UTF-8 is mended, not a fault.
TEST_F(NarroPlay, AnInterpreterWritingBytesThatAreNotUtf8StillPlays) {
  const std::string standIn = StandIn("latin1.py", stand_ins::WritesLatin1());
  Start(standIn + " game/cave.z5");
  Heard("broken");
  Send("hello");
  Heard("Still here: hello", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// ---------------------------------------------------------------------
// The settings file.

// A file that could not be read as settings is the user's to mend: it is
// reported once and never replaced, not even when a setting changes.
TEST_F(NarroPlay, AGarbageSettingsFileIsReportedAndNeverReplaced) {
  ASSERT_EQ(mkdir(Path("conf/narro").c_str(), 0700), 0);
  const std::string garbage("\x01\x02 not settings\0 at all\nrate=fast\nvolume=loud\n\xff\xfe", 43);
  WriteFile(Path("conf/narro/player.conf"), garbage);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 1) << tmux().Screen();
  EXPECT_NE(tmux().Screen().find("player.conf"), std::string::npos) << tmux().Screen();
  tmux().Keys("M-=");
  Heard("Rate 1", true);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(Path("conf/narro/player.conf")), garbage);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 1) << tmux().Screen();
}

TEST_F(NarroPlay, ASettingsFileThatIsAFolderIsReportedAndLeftAlone) {
  ASSERT_EQ(mkdir(Path("conf/narro").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(Path("conf/narro/player.conf").c_str(), 0700), 0);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  EXPECT_NE(tmux().Screen().find("player.conf: is not a regular file"), std::string::npos)
      << tmux().Screen();
  tmux().Keys("M-=");  // a change to keep, which cannot be kept
  Heard("Rate 1", true);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  struct stat info {};
  ASSERT_EQ(stat(Path("conf/narro/player.conf").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

// The user's own file, comments and all, stays byte for byte when nothing
// was changed; no file is made when there was none.
TEST_F(NarroPlay, NothingIsWrittenWhenNothingChanged) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_FALSE(FileExists(Path("conf/narro/player.conf")));
  EXPECT_FALSE(FileExists(Path("conf/narro")));

  ASSERT_EQ(mkdir(Path("conf/narro").c_str(), 0700), 0);
  const std::string mine = "# my own settings\n\nvolume=80\n   # slow, please\nrate=-2\n";
  WriteFile(Path("conf/narro/player.conf"), mine);
  Start("game/cave.z5");
  const int first = Heard(kCaveEntrance);
  ASSERT_GE(first, 0);
  EXPECT_EQ(Speech()[first].rate, "-2");
  EXPECT_EQ(Speech()[first].volume, "80");
  tmux().Keys("F5");
  ASSERT_TRUE(Shown("Installed voices"));
  tmux().Keys("Escape");
  Heard("The voice stays as it was.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(Path("conf/narro/player.conf")), mine);
}

// A link to settings is written through, the link kept; a link to nothing
// is reported and nothing is made where it points.
TEST_F(NarroPlay, ASymlinkIsWrittenThroughOnlyWhenItsTargetWasReadAsSettings) {
  ASSERT_EQ(mkdir(Path("conf/narro").c_str(), 0700), 0);
  WriteFile(Path("real.conf"), "rate=0\n");
  ASSERT_EQ(symlink(Path("real.conf").c_str(), Path("conf/narro/player.conf").c_str()), 0);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("M-=");
  Heard("Rate 1", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 0) << tmux().Screen();
  struct stat info {};
  ASSERT_EQ(lstat(Path("conf/narro/player.conf").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_NE(ReadFile(Path("real.conf")).find("\nrate=1\n"), std::string::npos)
      << ReadFile(Path("real.conf"));

  ASSERT_EQ(unlink(Path("conf/narro/player.conf").c_str()), 0);
  ASSERT_EQ(symlink(Path("nothing.conf").c_str(), Path("conf/narro/player.conf").c_str()), 0);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  EXPECT_NE(tmux().Screen().find("links to a file that is not there"), std::string::npos)
      << tmux().Screen();
  tmux().Keys("M-=");
  Heard("Rate 1", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_FALSE(FileExists(Path("nothing.conf")));
  ASSERT_EQ(lstat(Path("conf/narro/player.conf").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// ---------------------------------------------------------------------
// Dialog flows.

// Whether a request cut off what was being said (the purge flag, 2).
bool Purges(const Utterance& utterance) { return (std::atoi(utterance.flags.c_str()) & 2) != 0; }

// The name typed is said back before the game saves; the saved-games list
// says the entry under its cursor after its introduction, and an Enter
// that comes before the player heard that entry says it rather than
// restoring it; the next Enter restores.
TEST_F(NarroPlay, TheSaveNameIsSaidBackAndTheListsFirstEnterSaysTheEntry) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  ASSERT_NO_FATAL_FAILURE(SaveAs("river"));
  Heard("Saving as river.", true);
  Heard("Ok.", true);
  ASSERT_FALSE(SaveFile("river").empty());
  Send("east");
  Heard(kCaveCrack);
  const size_t before = Speech().size();
  EXPECT_EQ(OpenSavedGames(), "There are 1 entries in the list.");
  const int intro = static_cast<int>(m_next) - 1;
  const int entry = Heard("river", true);
  ASSERT_GT(entry, intro);
  // Queued behind the introduction, not cutting it off.
  EXPECT_FALSE(Purges(Speech()[static_cast<size_t>(entry)])) << Speech()[static_cast<size_t>(entry)].flags;
  tmux().Keys("Enter");
  Heard("river", true);
  ASSERT_TRUE(Shown("Saved Games"));  // still open: nothing restored yet
  tmux().Keys("Enter");
  Heard("Ok.", true);
  EXPECT_EQ(CountHeard("Ok.", before), 1);
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The delete question names the save; Escape answers it No, and the save
// and the list stay.
TEST_F(NarroPlay, TheDeleteQuestionNamesTheSaveAndEscapeAnswersNo) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  ASSERT_NO_FATAL_FAILURE(SaveAs("alpha"));
  Heard("Ok.", true);
  const std::string alpha = SaveFile("alpha");
  ASSERT_FALSE(alpha.empty());
  OpenSavedGames();
  Heard("alpha", true);
  tmux().Keys("DC");
  Heard("Delete the saved game alpha? Y or N", true);
  tmux().Keys("Escape");
  Heard("Not deleted.", true);
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("alpha") >= 0 && tmux().Screen().find("Delete Game") == std::string::npos; }))
      << tmux().Screen();
  EXPECT_TRUE(FileExists(alpha));
  tmux().Keys("Escape");
  Heard("Not restored.", true);
  EXPECT_TRUE(FileExists(alpha));
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// The first F7 asks for the folder; once a game was chosen there, F7 opens
// that folder's list at once, its first entry said after the introduction.
// Alt F still asks for a folder. Switching says what is lost; Escape stays.
TEST_F(NarroPlay, F7OpensTheKnownGamesFolderAtOnceAndSwitchingSaysWhatIsLost) {
  CopyStory("tower.z5", "game/tower.z5");
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  // The chooser's introduction is heard whole: the folder under the cursor
  // waits behind it.
  Heard("Hit enter to scan this directory");
  const int folder = Heard("game", true);
  if (folder >= 0) {
    EXPECT_FALSE(Purges(Speech()[static_cast<size_t>(folder)])) << Speech()[static_cast<size_t>(folder)].flags;
  }
  tmux().Keys("Enter");
  ASSERT_TRUE(Shown("Supported Games"));
  Heard("entries in the list.");
  Type("t");
  Heard("The Tower", true);
  tmux().Keys("Enter");
  Heard("End Cave Quest and start The Tower? Unsaved progress in Cave Quest is lost. Yes or No.", true);
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Send("north");
  Heard(kCaveHall);

  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Supported Games"));
  EXPECT_EQ(tmux().Screen().find("Choose a directory"), std::string::npos) << tmux().Screen();
  Heard("There are 2 entries in the list.");
  Heard("Cave Quest", true);
  Type("t");
  Heard("The Tower", true);
  tmux().Keys("Enter");
  Heard("Unsaved progress in Cave Quest is lost. Yes or No.");
  Type("y");
  Heard("Starting The Tower.", true);
  Heard("Foot of the Tower");

  tmux().Keys("M-f");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A word taken from the word list goes in without the game's punctuation
// (the list keeps "zounds!") and apart from the words before and after it.
TEST_F(NarroPlay, AWordFromTheListGoesInWithoutItsPunctuationAsAWordOfItsOwn) {
  const std::string standIn = StandIn("shout.py", stand_ins::ShoutsAWord());
  Start(standIn + " game/cave.z5");
  Heard("Someone shouts zounds! and runs.", true);
  Type("say");
  tmux().Keys("F3");
  ASSERT_TRUE(Shown("Word List"));
  Heard("entries in the list.");
  Type("z");
  Heard("zounds!", true);
  tmux().Keys("Enter");
  Heard("zounds", true);
  ASSERT_TRUE(Shown(">say zounds"));
  Type("now");
  tmux().Keys("Enter");
  Heard("You said: say zounds now", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

}  // namespace

// ---------------------------------------------------------------------
// Story names and messages.

namespace {

std::string CrcText(const std::string& path) {
  const std::string bytes = ReadFile(path);
  char text[9];
  snprintf(text, sizeof text, "%08lX",
           crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  return text;
}

// The player's fingerprint database as the library writes it.
std::string UserDatabase(const std::vector<std::pair<std::string, std::string>>& games) {
  std::string xml = "<?xml version=\"1.0\" ?>\n<games>\n";
  for (const auto& game : games) {
    xml += "    <supported_game fingerprint=\"" + game.first + "\" FullName=\"" + game.second +
           "\" sn=\"\" fn=\"unknown\" warn=\"\" />\n";
  }
  return xml + "</games>\n";
}

}  // namespace

// A name the player stored for want of a title (the file's stem) is
// corrected when the title is read, by the games list or by the story's
// own first turn; a name the user chose, and one the shipped database
// gives, stay as they are.
TEST_F(NarroPlay, AStandInNameThePlayerStoredIsCorrectedOnceTheTitleIsKnown) {
  CopyStory("tower.z5", "game/tower.z5");
  CopyStory(std::string(NARRO_PLAY_HOSTILE_STORIES) + "silent.ulx", "game/silent.ulx");
  const std::string database = Path("data/User_Fingerprints.xml");
  const std::string tower = CrcText(Path("game/tower.z5"));
  const std::string cave = CrcText(Path("game/cave.z5"));
  WriteFile(Path("data/fingerprints.xml"), UserDatabase({{cave, "cave"}}));
  WriteFile(database, UserDatabase({{tower, "tower"}, {CrcText(Path("game/silent.ulx")), "silent one"}}));
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Choose a directory to scan for games"));
  EXPECT_NE(ReadFile(database).find("FullName=\"The Tower\""), std::string::npos) << ReadFile(database);
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  const std::string stored = ReadFile(database);
  EXPECT_EQ(stored.find("FullName=\"tower\""), std::string::npos) << stored;
  EXPECT_NE(stored.find("FullName=\"silent one\""), std::string::npos) << stored;
  EXPECT_EQ(stored.find(cave), std::string::npos) << stored;

  // The story played names itself at its first turn.
  WriteFile(database, UserDatabase({{tower, "tower"}}));
  Start("game/tower.z5");
  EXPECT_TRUE(Eventually([&] { return ReadFile(database).find("FullName=\"The Tower\"") != std::string::npos; }))
      << ReadFile(database);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// Faults before the game, and usage errors, are said as well as shown; a
// pipe or a file gets the message on standard error and no control
// sequence at all.
TEST_F(NarroPlay, FaultsAndUsageErrorsGoToStandardErrorAndAreSaid) {
  Start("game/nowhere.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(Shown("narro-play: game/nowhere.z5: No such file or directory"));
  Heard("game/nowhere.z5: No such file or directory");

  Start("--bogus game/cave.z5");
  EXPECT_EQ(ExitStatus(), 2);
  EXPECT_TRUE(Shown("narro-play: unknown option --bogus"));
  Heard("unknown option --bogus");

  Start("game/cave.z5 > out.txt 2> err.txt");
  EXPECT_EQ(ExitStatus(), 2);
  Heard("standard input and output must be one");
  EXPECT_EQ(ReadFile(Path("out.txt")), "");
  const std::string error = ReadFile(Path("err.txt"));
  EXPECT_NE(error.find("standard input and output must be one\n"), std::string::npos) << error;
  EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
  EXPECT_EQ(error.find('\r'), std::string::npos) << error;
}

// A story the interpreter gives up (Bocfel's "Fatal error: corrupted
// story") is a fault, not a game that ended: status 1, and what to do.
TEST_F(NarroPlay, AStoryCutShortEndsWithStatusOneAndSaysToGetItAgain) {
  WriteFile(Path("game/cut.z5"), ReadFile(Story("cave.z5")).substr(0, 2000));
  Start("game/cut.z5");
  ExpectFault("the story cannot be played (Fatal error: corrupted story");
  EXPECT_TRUE(Shown("get it again"));
}

// A games folder whose name is not UTF-8 is kept in the settings all the
// same (escaped), and the next run's games list starts there.
TEST_F(NarroPlay, AGamesFolderNamedInLatin1IsKeptForTheNextRun) {
  const std::string folder = "\xE9";
  ASSERT_EQ(mkdir(Path(folder).c_str(), 0700), 0);
  CopyStory("cave.z5", folder + "/cave.z5");
  CopyStory("tower.z5", folder + "/tower.z5");
  Start(Quoted(folder + "/cave.z5"), "LC_ALL=C.UTF-8");
  Heard(kCaveEntrance);
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("> \xC3\xA9"));
  tmux().Keys("Enter");
  ASSERT_TRUE(Shown("Supported Games"));
  Heard("entries in the list.");
  Type("t");
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("> The Tower") >= 0; })) << tmux().Screen();
  tmux().Keys("Enter");
  Heard("End Cave Quest and start The Tower?");
  Type("y");
  Heard("Starting The Tower.", true);
  Heard("Foot of the Tower");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 0) << tmux().Screen();
  const std::string settings = ReadFile(Path("conf/narro/player.conf"));
  EXPECT_NE(settings.find("/\\xE9\n"), std::string::npos) << settings;

  // The next run's F7 opens that folder's list at once.
  Start("game/cave.z5", "LC_ALL=C.UTF-8");
  Heard(kCaveEntrance);
  tmux().Keys("F7");
  ASSERT_TRUE(Shown("Supported Games"));
  Heard("entries in the list.");
  EXPECT_TRUE(Shown("The Tower")) << tmux().Screen();
  tmux().Keys("Escape");
  Heard("The game goes on.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// ---------------------------------------------------------------------
// The map and the review.
//
// Atlas, the tests' own story, has a known map:
//   Clearing: north Forest Path, east Stream Bank, down Dark Pit (a slide,
//     no way back), west blocked by brambles.
//   Forest Path: south Clearing, east Storeroom (tins), up named only.
//   Storeroom (tins): west Forest Path.
//   Stream Bank: west Clearing, north Storeroom (grain), east a death.
//   Storeroom (grain): south Stream Bank.
//   Dark Pit, unlit ("Darkness"): north Stream Bank, up blocked.

class NarroPlayMap : public NarroPlay {
 protected:
  void SetUp() override {
    NarroPlay::SetUp();
    CopyStory(std::string(NARRO_PLAY_HOSTILE_STORIES) + "atlas.ulx", "game/atlas.ulx");
  }

  // The one map file the player keeps for Atlas; empty when there is none.
  std::string MapFile() const {
    const std::vector<std::string> maps = FilesEndingWith(Path("data/maps/"), ".map");
    return maps.size() == 1 ? Path("data/maps/" + maps[0]) : std::string();
  }

  // Walks every way of the map, and dies once.
  void Explore() {
    const std::vector<std::pair<std::string, std::string>> walk = {
        {"east", "Cold water rushes past."},       {"north", "Sacks of grain"},
        {"south", "Cold water rushes past."},      {"west", "A quiet clearing"},
        {"west", "The brambles are too thick."},   {"north", "A narrow path"},
        {"east", "Shelves of old tins"},           {"west", "A narrow path"},
        {"s", "A quiet clearing"},                 {"go down", "It is pitch dark"},
        {"up", "The walls are too steep"},         {"n", "Cold water rushes past."},
        {"east", "*** You have died ***"},         {"undo", "[Previous turn undone.]"},
    };
    for (const auto& [command, reply] : walk) {
      Send(command);
      Heard(reply);
    }
  }
};

TEST_F(NarroPlayMap, AtlasIsMappedAsItIsPlayedAndARouteIsWalkedByKeys) {
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  tmux().Keys("M-m");
  Heard("Clearing. The description names north, east, west and down: not tried.", true);
  Explore();
  // Where the player died, the way is known to be deadly.
  tmux().Keys("M-m");
  Heard("Stream Bank. North: Storeroom, the one where: Sacks of grain fill this storeroom. East: death. "
        "West: Clearing.", true);
  // The room's description, not UNDO's note after its name.
  tmux().Keys("M-d");
  Heard("Stream Bank", true);
  Heard("Cold water rushes past.");
  Send("west");
  Heard("A quiet clearing");
  tmux().Keys("F10");
  Heard("Clearing. North: Forest Path. East: Stream Bank. West: blocked. Down: Darkness.", true);

  // The rooms known, by name; the two storerooms told apart.
  tmux().Keys("M-p");
  Heard("Rooms known: six. Enter for the way there, Escape to leave.", true);
  Heard("Clearing, here", true);
  tmux().Keys("Down");
  Heard("Darkness", true);
  Type("s");
  Heard("Storeroom, the one where: Sacks of grain fill this storeroom", true);
  tmux().Keys("Down");
  Heard("Storeroom, the one where: Shelves of old tins line this storeroom", true);
  tmux().Keys("Enter");
  Heard("North, then east: two moves. On the command line; Enter sends it.", true);
  ASSERT_TRUE(Shown(">north. east"));
  tmux().Keys("Enter");
  Heard("Shelves of old tins");
  tmux().Keys("M-m");
  Heard("Storeroom, the one where: Shelves of old tins line this storeroom. West: Forest Path.", true);

  // The dark room is reached by the one-way slide; nothing leads back up.
  tmux().Keys("M-p");
  Heard("Rooms known: six.");
  Type("d");
  Heard("Darkness", true);
  tmux().Keys("Enter");
  Heard("West, south, then down: three moves.");
  ASSERT_TRUE(Shown(">west. south. down"));
  tmux().Keys("Enter");
  Heard("It is pitch dark");
  tmux().Keys("M-p");
  Heard("Rooms known: six.");
  Type("c");
  Heard("Clearing", true);
  tmux().Keys("Enter");
  Heard("North, then west: two moves.");
  tmux().Keys("M-p");
  Heard("Rooms known: six.");
  tmux().Keys("End");
  Heard("Stream Bank", true);
  tmux().Keys("Enter");
  Heard("North: one move.");
  tmux().Keys("M-p");
  Type("f");
  Heard("Forest Path", true);
  tmux().Keys("Escape");
  Heard("List closed.", true);

  // The only way a description names that was never tried.
  tmux().Keys("M-u");
  Heard("Rooms with ways not tried: one, nearest first.", true);
  Heard("Forest Path: up; three moves.", true);
  tmux().Keys("Enter");
  Heard("North, west, then north: three moves.");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlayMap, TheMapIsKeptBetweenSessionsAndADamagedOneIsLeftAlone) {
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  Send("north");
  Heard("A narrow path");
  Send("south");
  Heard("A quiet clearing");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  const std::string map = MapFile();
  ASSERT_FALSE(map.empty());
  EXPECT_EQ(ReadFile(map).rfind("narro-map 1\n", 0), 0u) << ReadFile(map);
  struct stat st;
  ASSERT_EQ(stat(map.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A restart of the program: the map is there, and the way learned.
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  tmux().Keys("M-m");
  Heard("Clearing. North: Forest Path. The description names east, west and down: not tried.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);

  // Damaged: said, kept as it is, and the game is played on unmapped.
  const std::string damaged = ReadFile(map).substr(0, 30);
  WriteFile(map, damaged);
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  Heard("is damaged (cut short). It is kept as it is, and this game's map is not saved.");
  Send("east");
  Heard("Cold water rushes past.");
  tmux().Keys("M-m");
  Heard("Stream Bank. The description names north, east and west: not tried.", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(map), damaged);
  EXPECT_EQ(FilesEndingWith(Path("data/maps/"), "").size(), 3u);  // ".", ".." and the map: no temporary

  // A FIFO in its place: refused at once, never opened to wait on.
  ASSERT_EQ(unlink(map.c_str()), 0);
  ASSERT_EQ(mkfifo(map.c_str(), 0600), 0);
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  Heard("is not a regular file. It is kept as it is");
  Send("north");
  Heard("A narrow path");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  ASSERT_EQ(lstat(map.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(NarroPlayMap, PastTurnsAreReviewedWithoutLeavingTheCommandLine) {
  Start("game/atlas.ulx");
  Heard("A quiet clearing");
  tmux().Keys("F1");
  Heard("F10 or Alt M: the map: where you can go from here");
  Heard("F12 or Alt B: past turns, newest first; Enter reads one whole");
  Heard("Alt J, Alt K: the past replies a paragraph back, a paragraph on");
  Send("north");
  Heard("A narrow path");
  Send("jump");
  Heard("You jump on the spot");
  Type("take");
  // A paragraph back, another, and on again; the command line is kept.
  tmux().Keys("M-j");
  // The library gives the voice a word the player typed set apart from
  // the mark after it ("jump :").
  Heard("After jump : You jump on the spot", false);
  tmux().Keys("M-j");
  Heard("A narrow path between tall pines.", false);
  tmux().Keys("M-j");
  Heard("After north : Forest Path", true);
  tmux().Keys("M-k");
  Heard("A narrow path between tall pines.", false);
  tmux().Keys("M-d");
  Heard("Forest Path", false);
  Heard("A narrow path between tall pines.", false);

  // The turns, newest first; Enter reads one whole.
  tmux().Keys("M-b");
  Heard("Turns: three, newest first. Enter reads one whole.", true);
  Heard("jump : You jump on the spot", false);
  tmux().Keys("Down");
  Heard("north : Forest Path A narrow path between tall pines.", true);
  tmux().Keys("Enter");
  Heard("After north .", true);
  Heard("A narrow path between tall pines.", false);
  tmux().Keys("Down");
  Heard("The start: Atlas", false);
  tmux().Keys("Escape");
  Heard("List closed.", true);
  // The start's banner skipped to its last paragraph.
  tmux().Keys("M-x");
  Heard("You jump on the spot", false);
  Type(" lamp");
  tmux().Keys("F9");
  Heard("take lamp", true);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlayMap, BesideAScreenReaderTheAnswersAreShown) {
  Start("--screen-reader game/atlas.ulx");
  ASSERT_TRUE(Shown("A quiet clearing"));
  Type("north");
  tmux().Keys("Enter");
  ASSERT_TRUE(Shown("A narrow path"));
  tmux().Keys("M-m");
  EXPECT_TRUE(Shown("[Forest Path. The description names south, east and up: not tried.]"));
  tmux().Keys("M-p");
  EXPECT_TRUE(Shown("[Clearing]"));
  tmux().Keys("Down");
  EXPECT_TRUE(Shown("[Forest Path, here]"));
  tmux().Keys("Escape");
  EXPECT_TRUE(Shown("[List closed.]"));
  tmux().Keys("M-j");
  EXPECT_TRUE(Shown("[A narrow path between tall pines."));
  tmux().Keys("C-c");
  ASSERT_TRUE(Shown("Leave the game?"));
  Type("y");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(Speech().empty()) << SpeechText();
}
