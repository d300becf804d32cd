// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play end to end: the real program in a real terminal (tmux), over
// the real dfrotz and real story files, its speech played into WAV files
// and listed in speech.log. Keys go in as a player types them; what the
// player heard is read back from speech.log, what it saw from the screen.
// Stand-in games (shell scripts in NARRO_DFROTZ's place) misbehave in the
// ways a real interpreter can.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmux.h"

namespace {

// Cave Quest, the demo story the games tests use.
const char kCaveCrc[] = "9AE38DFE";
const char kCaveEntrance[] = "A dark opening leads north into the hill.";
const char kCaveHall[] = "A vast hall of dripping stone.";
const char kCaveCrack[] = "You can barely turn round here.";

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
// sanitizer build on a busy machine is slow. False after 20 s.
bool Eventually(const std::function<bool()>& done) {
  for (int tries = 0; tries < 2000; ++tries) {
    if (done()) return true;
    usleep(10000);
  }
  return done();
}

std::string Quoted(const std::string& text) { return ShellQuoted(text); }

void MakeExecutable(const std::string& path, const std::string& script) {
  WriteFile(path, script);
  chmod(path.c_str(), 0755);
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
    const std::string source = from.find('/') == std::string::npos
                                   ? std::string(NARRO_PLAY_TEST_DATA) + from
                                   : from;
    WriteFile(Path(to), ReadFile(source));
  }

  // The save file the player makes for a name typed at "Save the game as".
  std::string SaveFile(const std::string& name, const std::string& folder = "game/") const {
    return Path(folder + name + "_%" + kCaveCrc + "%_.sav");
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
        " NARRO_DATA_DIR=" + Quoted(Path("data/")) + " XDG_CONFIG_HOME=" + Quoted(Path("conf")) +
        " " + environment + " " + Quoted(NARRO_PLAY) + " " + arguments +
        "; s=$?; stty -g > stty.after." + run + "; echo $s > exit." + run +
        "; echo EXIT=$s; sleep 600";
    m_tmux = std::make_unique<Tmux>(command, width, height);
  }

  Tmux& tmux() { return *m_tmux; }

  std::vector<Utterance> Speech() const {
    return ReadSpeechLog(Path("wav" + std::to_string(m_run) + "/speech.log"));
  }

  std::string SpeechText() const {
    std::string text;
    for (const Utterance& utterance : Speech()) text += utterance.text + "\n";
    return text;
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
                    << SpeechText() << "\nscreen:\n" << tmux().Screen();
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
                    << ":\n" << SpeechText() << "\nscreen:\n" << tmux().Screen();
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

  // dfrotz's save question, answered through the library's input dialog.
  void SaveAs(const std::string& name) {
    Send("save");
    Heard("Save the game as", true);
    ASSERT_TRUE(tmux().WaitFor("Save the game as"));
    Type(name);
    tmux().Keys("Enter");
  }

  // F6, and Enter in the folder chooser, which starts at the save folder.
  void OpenSavedGames() {
    tmux().Keys("F6");
    ASSERT_TRUE(tmux().WaitFor("Choose a directory to scan for saved games"));
    Heard("Hit enter to scan this directory");
    tmux().Keys("Enter");
    ASSERT_TRUE(tmux().WaitFor("Saved Games"));
  }

  // Ctrl-C, and Yes to the question.
  void Leave() {
    tmux().Keys("C-c");
    Heard("Leave the game?");
    Type("y");
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

// Two saves under two names, the game quit, started again and the second
// save restored from the saved-games list.
TEST_F(NarroPlay, TwoSavesThenAfterARestartTheSecondIsRestoredFromTheList) {
  WriteFile(Path("data/fingerprints.xml"), ReadFile(NARRO_PLAY_FINGERPRINTS));
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  SaveAs("first");
  Heard("Ok.", true);
  EXPECT_TRUE(FileExists(SaveFile("first")));
  Send("east");
  Heard(kCaveCrack);
  SaveAs("second");
  Heard("Ok.", true);
  EXPECT_TRUE(FileExists(SaveFile("second")));
  Send("quit");
  Heard("Are you sure you want to quit?");
  Type("y");
  tmux().Keys("Enter");
  EXPECT_EQ(ExitStatus(), 0);

  Start("game/cave.z5");
  Heard(kCaveEntrance);
  ASSERT_NO_FATAL_FAILURE(OpenSavedGames());
  Heard("There are 2 entries in the list.");
  Type("s");
  Heard("second: Cave Quest", true);
  tmux().Keys("Enter");
  Heard("Ok.", true);
  Send("look");
  Heard(kCaveCrack);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
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
  ASSERT_TRUE(tmux().WaitFor("Word List"));
  Heard("entries in the list.");
  Type("l");
  Heard("lantern", true);
  tmux().Keys("Enter");
  Heard("lantern", true);  // said again as it goes into the command
  ASSERT_TRUE(tmux().WaitFor(">take lantern"));
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
  ASSERT_TRUE(tmux().WaitFor("Installed voices"));
  Heard("entries in the list.");
  Type("g");
  const int chosen = Heard("G");
  ASSERT_GE(chosen, 0);
  const std::string voiceName = Speech()[chosen].text;
  tmux().Keys("Enter");
  // Kept as soon as the list has closed and the terminal is the player's
  // again (keys typed before that are the list's).
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

TEST_F(NarroPlay, DeleteInTheSavedGamesListRemovesThatSaveOnly) {
  const std::string save = ReadFile(std::string(NARRO_PLAY_TEST_DATA) + "cave-hall.qzl");
  ASSERT_FALSE(save.empty());
  WriteFile(SaveFile("alpha"), save);
  WriteFile(SaveFile("beta"), save);
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  ASSERT_NO_FATAL_FAILURE(OpenSavedGames());
  Heard("There are 2 entries in the list.");
  Type("b");
  Heard("beta");
  tmux().Keys("DC");
  Heard("Are you sure you want to delete the saved game?");
  Type("y");
  Heard("deleted");
  EXPECT_TRUE(Eventually([&] { return !FileExists(SaveFile("beta")); }));
  EXPECT_EQ(ReadFile(SaveFile("alpha")), save);
  // The list stays open, without the deleted save; the other is restored.
  ASSERT_TRUE(Eventually([&] { return tmux().RowOf("beta") < 0; })) << tmux().Screen();
  EXPECT_NE(tmux().RowOf("alpha"), -1) << tmux().Screen();
  // The list has no current entry after a delete: one is chosen.
  Type("a");
  Heard("alpha");
  tmux().Keys("Enter");
  Heard("Ok.", true);
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(SaveFile("alpha")), save);
  EXPECT_FALSE(FileExists(SaveFile("beta")));
}

TEST_F(NarroPlay, AStoryFileDfrotzCannotRunEndsWithAMessageAndStatusOne) {
  std::string garbage;
  for (int i = 0; i < 200; ++i) garbage += "This is not a story file at all.\n";
  WriteFile(Path("game/garbage.z5"), garbage);
  Start("game/garbage.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(tmux().WaitFor("narro-play: the game stopped: dfrotz exited with status 1"));
  EXPECT_NE(tmux().Screen().find("Fatal error"), std::string::npos) << tmux().Screen();
}

TEST_F(NarroPlay, DfrotzKilledInTheMiddleOfAGameEndsWithAMessageAndStatusOne) {
  // The real dfrotz, its process id noted on the way.
  MakeExecutable(Path("dfrotz"), "#!/bin/sh\necho $$ > " + Quoted(Path("dfrotz.pid")) +
                                     "\nexec " + NARRO_PLAY_DFROTZ + " \"$@\"\n");
  Start("game/cave.z5", "NARRO_DFROTZ=" + Quoted(Path("dfrotz")));
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  Type("sou");  // half a command on the line
  const pid_t pid = std::atoi(ReadFile(Path("dfrotz.pid")).c_str());
  ASSERT_GT(pid, 1);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(tmux().WaitFor("narro-play: the game stopped: dfrotz was killed by signal 9"));
  Heard("The game stopped unexpectedly.");
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
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, CtrlCThenYesLeavesWithStatusZeroAndTheTerminalAsFound) {
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Type("nor");
  tmux().Keys("C-c");
  Heard("Leave the game? What is not saved is lost. Yes or No.", true);
  Type("y");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(tmux().WaitFor("Yes"));
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

TEST_F(NarroPlay, AGarbageSettingsFileIsReportedOnceThenReplacedByAValidOne) {
  ASSERT_EQ(mkdir(Path("conf/narro").c_str(), 0700), 0);
  WriteFile(Path("conf/narro/player.conf"),
            std::string("\x01\x02 not settings\0 at all\nrate=fast\nvolume=loud\n\xff\xfe", 43));
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 1) << tmux().Screen();
  EXPECT_NE(tmux().Screen().find("player.conf"), std::string::npos) << tmux().Screen();
  Send("north");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  const std::string settings = ReadFile(Path("conf/narro/player.conf"));
  EXPECT_EQ(settings.rfind("# narro-play settings\n", 0), 0u) << settings;
  EXPECT_NE(settings.find("\nrate=0\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("\nvolume=100\n"), std::string::npos) << settings;

  // Read back without a word.
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  EXPECT_EQ(LinesStartingWith("narro-play:"), 0) << tmux().Screen();
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
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

TEST_F(NarroPlay, AMissingStoryIsNamedAndEndsWithStatusOne) {
  Start("game/nowhere.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(tmux().WaitFor("narro-play: game/nowhere.z5: No such file or directory"));
}

TEST_F(NarroPlay, AnEmptyStoryFileIsNamedAndEndsWithStatusOne) {
  WriteFile(Path("game/empty.z5"), "");
  Start("game/empty.z5");
  EXPECT_EQ(ExitStatus(), 1);
  EXPECT_TRUE(tmux().WaitFor("narro-play: game/empty.z5: the file is empty"));
}

TEST_F(NarroPlay, AStoryPathWithSpacesPlaysAndSavesBesideIt) {
  ASSERT_EQ(mkdir(Path("my games").c_str(), 0700), 0);
  CopyStory("cave.z5", "my games/cave quest.z5");
  Start(Quoted("my games/cave quest.z5"));
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  SaveAs("by the hall");
  Heard("Ok.", true);
  EXPECT_TRUE(FileExists(SaveFile("by the hall", "my games/")));
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
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

// A stand-in for dfrotz that prints a megabyte at once, then plays on.
TEST_F(NarroPlay, AGameThatPrintsAMegabyteWithoutWaitingStillAnswers) {
  MakeExecutable(Path("flood"),
                 "#!/bin/sh\n"
                 "awk 'BEGIN { for (i = 1; i <= 20000; i++) "
                 "print \"Line \" i \" of a story that goes on and on without a pause.\" }'\n"
                 "printf '\\n>'\n"
                 "while read line; do printf 'You said: %s\\n\\n>' \"$line\"; done\n");
  Start("game/cave.z5", "NARRO_DFROTZ=" + Quoted(Path("flood")));
  ASSERT_TRUE(tmux().WaitFor("Line 20000 of a story"));
  Heard("Line 20000 of a story");
  Send("hello");
  Heard("You said: hello");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A stand-in for dfrotz whose bytes are not UTF-8.
TEST_F(NarroPlay, AGameThatPrintsBytesThatAreNotUtf8StillAnswers) {
  MakeExecutable(Path("latin1"),
                 "#!/bin/sh\n"
                 "printf 'Caf\\351 cr\\350me \\377\\376 broken \\303\\n\\n>'\n"
                 "while read line; do printf 'Still here: %s \\300\\n\\n>' \"$line\"; done\n");
  Start("game/cave.z5", "NARRO_DFROTZ=" + Quoted(Path("latin1")));
  Heard("broken");
  Send("hello");
  Heard("Still here: hello");
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

// A folder or file that cannot be written. Permission bits do not stop
// root; the immutable attribute does.
class LockedFolder {
 public:
  explicit LockedFolder(const std::string& path) : m_path(path) {
    std::string out;
    if (geteuid() != 0) {
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

TEST_F(NarroPlay, AStoryFolderThatCannotBeWrittenSavesInTheDataFolder) {
  LockedFolder game(Path("game"));
  if (!game.locked()) GTEST_SKIP() << "no way to make a folder unwritable here";
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  SaveAs("kept");
  Heard("Ok.", true);
  EXPECT_TRUE(FileExists(SaveFile("kept", "data/saves/")));
  EXPECT_FALSE(FileExists(SaveFile("kept")));
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(NarroPlay, ASaveFolderThatCannotBeWrittenLosesNoSavedGame) {
  const std::string save = ReadFile(std::string(NARRO_PLAY_TEST_DATA) + "cave-hall.qzl");
  WriteFile(SaveFile("old"), save);
  ASSERT_EQ(mkdir(Path("data/saves").c_str(), 0700), 0);
  LockedFolder game(Path("game"));
  LockedFolder saves(Path("data/saves"));
  // A file in a locked folder can still be written over: the old save is
  // locked too.
  LockedFolder oldSave(SaveFile("old"));
  if (!game.locked() || !saves.locked() || !oldSave.locked()) {
    GTEST_SKIP() << "no way to make a folder unwritable here";
  }
  Start("game/cave.z5");
  Heard(kCaveEntrance);
  Send("north");
  Heard(kCaveHall);
  SaveAs("old");
  Heard("A saved game called old exists. Replace it? Yes or No.", true);
  Type("y");
  Heard("Save failed.", true);
  SaveAs("new");
  Heard("Save failed.", true);
  // The game goes on, where it was.
  Send("look");
  Heard(kCaveHall);
  Leave();
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_EQ(ReadFile(SaveFile("old")), save);
  EXPECT_FALSE(FileExists(SaveFile("new")));
}

// The demo story, from its start to its winning end, by keys alone: every
// command typed word by word (each word echoed), and every line the game
// answers, as dfrotz gives it unwrapped, spoken.
TEST_F(NarroPlay, TheDemoStoryIsPlayedToItsWinningEndByKeys) {
  if (!FileExists(NARRO_PLAY_DEMO_STORY) || !FileExists(NARRO_PLAY_DEMO_WALKTHROUGH)) {
    GTEST_SKIP() << "the demo story and its walkthrough are not built";
  }
  CopyStory(NARRO_PLAY_DEMO_STORY, "game/demo.z5");
  std::vector<std::string> commands;
  for (const std::string& line : ReadLines(NARRO_PLAY_DEMO_WALKTHROUGH)) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) commands.push_back(line);
  }
  ASSERT_FALSE(commands.empty());

  // What dfrotz answers to each command, read from a run of its own: one
  // turn per prompt, its lines joined (dfrotz wraps even at its widest).
  std::string input;
  for (const std::string& command : commands) input += command + "\n";
  WriteFile(Path("walkthrough.txt"), input);
  std::string reference;
  RunShellCommand(std::string(NARRO_PLAY_DFROTZ) + " -q -m -w 255 -h 255 " +
                      Quoted(Path("game/demo.z5")) + " < " + Quoted(Path("walkthrough.txt")) +
                      " 2>/dev/null",
                  reference);
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
  // The walkthrough ends the story: the game asks what next.
  ASSERT_NE(turns[commands.size()].find("Would you like to RESTART"), std::string::npos)
      << reference;

  Start("game/demo.z5");
  ExpectTurnHeard(turns[0]);
  for (size_t i = 0; i < commands.size(); ++i) {
    SCOPED_TRACE("command " + std::to_string(i + 1) + ": " + commands[i]);
    Send(commands[i]);
    ExpectTurnHeard(turns[i + 1]);
  }
  // The game asks what next; the game's own quit ends it.
  Send("quit");
  EXPECT_EQ(ExitStatus(), 0);
  EXPECT_TRUE(tmux().WaitFor("[The game has ended.]"));
}

}  // namespace
