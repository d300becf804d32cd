// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "platform/locale/TextEncoding.h"
#include "tests/support/TempDir.h"

using player::LoadSettings;
using player::PlayerSettings;
using player::SaveSettings;
using player::SettingsPath;

namespace {

// Sets (or unsets) a variable for one test and puts it back after, so the
// tests do not leak into one another when they share a process.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

PlayerSettings Odd() {
  PlayerSettings s;
  s.voiceId = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Voices\\Tokens\\Eva Mobile = x#";
  s.rate = -10;
  s.volume = 0;
  s.flags = 4294967295u;
  s.gamesFolder = " /home/Zoë/Spiele für Blinde/日本語 ";
  s.interpreter = "glulxe -q 'my dir/x' \"a b\"";
  s.echoLastWord = true;
  s.announceRoom = false;
  return s;
}

void ExpectSame(const PlayerSettings& a, const PlayerSettings& b) {
  EXPECT_EQ(a.voiceId, b.voiceId);
  EXPECT_EQ(a.rate, b.rate);
  EXPECT_EQ(a.volume, b.volume);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.gamesFolder, b.gamesFolder);
  EXPECT_EQ(a.interpreter, b.interpreter);
  EXPECT_EQ(a.echoLastWord, b.echoLastWord);
  EXPECT_EQ(a.announceRoom, b.announceRoom);
  EXPECT_TRUE(a == b);
}

// Loads a file of the given text; the defaults and one line are expected.
std::string ProblemWith(const std::string& text) {
  TempDir dir;
  WriteFile(dir.File("player.conf"), text);
  std::string problem;
  ExpectSame(LoadSettings(dir.File("player.conf"), problem), PlayerSettings());
  EXPECT_EQ(problem.find('\n'), std::string::npos);
  EXPECT_EQ(problem.rfind(dir.File("player.conf") + ": ", 0), 0u) << problem;
  return problem;
}

}  // namespace

TEST(PlayerSettingsTest, EveryFieldRoundTripsExactly) {
  TempDir dir;
  const std::string path = dir.File("a/b/player.conf");
  std::string problem = "stale";
  ASSERT_TRUE(SaveSettings(path, Odd(), problem)) << problem;
  EXPECT_EQ(problem, "");
  EXPECT_EQ(ReadLines(path).front(), "# narro-play settings");
  struct stat st;
  ASSERT_EQ(stat(dir.File("a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ExpectSame(LoadSettings(path, problem), Odd());
  EXPECT_EQ(problem, "");

  PlayerSettings other;
  other.rate = 10;
  other.volume = 100;
  other.flags = 0;
  ASSERT_TRUE(SaveSettings(path, other, problem)) << problem;
  ExpectSame(LoadSettings(path, problem), other);
  EXPECT_EQ(problem, "");
  // The screen-reader line is written only when on, so that a file
  // written without it reads in an earlier narro-play.
  EXPECT_EQ(ReadFile(path).find("screen-reader"), std::string::npos);
  other.screenReader = true;
  ASSERT_TRUE(SaveSettings(path, other, problem)) << problem;
  EXPECT_NE(ReadFile(path).find("\nscreen-reader=yes\n"), std::string::npos);
  EXPECT_TRUE(LoadSettings(path, problem).screenReader);
  EXPECT_EQ(problem, "");
}

TEST(PlayerSettingsTest, MissingFileGivesTheDefaultsQuietly) {
  TempDir dir;
  std::string problem = "stale";
  ExpectSame(LoadSettings(dir.File("none/player.conf"), problem), PlayerSettings());
  EXPECT_EQ(problem, "");
  ExpectSame(LoadSettings("", problem), PlayerSettings());
  EXPECT_EQ(problem, "");
  WriteFile(dir.File("empty"), "");
  ExpectSame(LoadSettings(dir.File("empty"), problem), PlayerSettings());
  EXPECT_EQ(problem, "");
}

TEST(PlayerSettingsTest, HandWrittenFileWithCommentsBlanksAndCrlfLoads) {
  TempDir dir;
  WriteFile(dir.File("p"), "\xEF\xBB\xBF# mine\r\n\n  \t\n  # indented\nrate=+3\r\nvolume=7\ngames=/g=x");
  std::string problem;
  const PlayerSettings s = LoadSettings(dir.File("p"), problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(s.rate, 3);
  EXPECT_EQ(s.volume, 7);
  EXPECT_EQ(s.flags, 17u);
  EXPECT_EQ(s.gamesFolder, "/g=x");
}

TEST(PlayerSettingsTest, DamagedLinesGiveTheDefaultsAndSayWhichLine) {
  EXPECT_NE(ProblemWith("# x\n\nrate=3\nbogus\n").find(": line 4 is not a setting; using the defaults"),
            std::string::npos);
  EXPECT_NE(ProblemWith("speed=3\n").find("line 1 is not a setting"), std::string::npos);
  EXPECT_NE(ProblemWith(" rate=3\n").find("line 1 is not a setting"), std::string::npos);
  EXPECT_NE(ProblemWith("voice=a\rb\n").find("line 1 is not a setting"), std::string::npos);
  EXPECT_NE(ProblemWith("rate=1\nrate=2\n").find("line 2 repeats rate"), std::string::npos);
  for (const char* bad : {"rate=11", "rate=-11", "rate=", "rate= 1", "rate=1x", "rate=0x3",
                          "rate=99999999999999999999999"}) {
    EXPECT_NE(ProblemWith(bad).find("rate must be a number from -10 to 10"), std::string::npos) << bad;
  }
  EXPECT_NE(ProblemWith("volume=101").find("volume must be"), std::string::npos);
  EXPECT_NE(ProblemWith("volume=-1").find("volume must be"), std::string::npos);
  EXPECT_NE(ProblemWith("flags=4294967296").find("flags must be"), std::string::npos);
  EXPECT_NE(ProblemWith("flags=-1").find("flags must be"), std::string::npos);
  EXPECT_NE(ProblemWith("echo-last-word=1").find("echo-last-word must be yes or no"), std::string::npos);
  EXPECT_NE(ProblemWith("announce-room=Yes").find("announce-room must be yes or no"), std::string::npos);
  EXPECT_NE(ProblemWith("interpreter=a\ninterpreter=b\n").find("line 2 repeats interpreter"),
            std::string::npos);
}

TEST(PlayerSettingsTest, GarbageFilesGiveTheDefaultsAndOneLine) {
  std::mt19937 random(12345);
  std::string bytes(4096, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  EXPECT_NE(ProblemWith(bytes).find("using the defaults"), std::string::npos);
  EXPECT_NE(ProblemWith(std::string(100, '\0')).find("zero bytes"), std::string::npos);
  EXPECT_NE(ProblemWith("voice=\xC0\xAF\n").find("not UTF-8"), std::string::npos);
  EXPECT_NE(ProblemWith("games=\xED\xA0\x80\n").find("not UTF-8"), std::string::npos);
  EXPECT_NE(ProblemWith(std::string(1 << 20, '#')).find("larger than 64 KiB"), std::string::npos);
  // Just at the limit is still a settings file.
  TempDir dir;
  WriteFile(dir.File("p"), std::string(64 * 1024 - 8, '#') + "\nrate=2\n");
  std::string problem;
  EXPECT_EQ(LoadSettings(dir.File("p"), problem).rate, 2);
  EXPECT_EQ(problem, "");
}

TEST(PlayerSettingsTest, DirectoryAtThePathIsReportedAndNeverReplaced) {
  TempDir dir;
  const std::string path = dir.File("player.conf");
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  WriteFile(path + "/inside", "kept");
  std::string problem;
  ExpectSame(LoadSettings(path, problem), PlayerSettings());
  EXPECT_EQ(problem, path + ": is not a regular file; using the defaults");
  EXPECT_FALSE(SaveSettings(path, Odd(), problem));
  EXPECT_NE(problem.find("is not a regular file"), std::string::npos);
  EXPECT_EQ(problem.find('\n'), std::string::npos);
  EXPECT_EQ(ReadFile(path + "/inside"), "kept");
}

TEST(PlayerSettingsTest, FifoAtThePathNeverBlocksAndIsNeverReplaced) {
  TempDir dir;
  const std::string path = dir.File("player.conf");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::string problem;
  ExpectSame(LoadSettings(path, problem), PlayerSettings());
  EXPECT_EQ(problem, path + ": is not a regular file; using the defaults");
  EXPECT_FALSE(SaveSettings(path, Odd(), problem));
  struct stat st;
  ASSERT_EQ(lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(PlayerSettingsTest, UnstorableValuesAreRefusedAndTheOldFileKept) {
  TempDir dir;
  const std::string path = dir.File("player.conf");
  std::string problem;
  ASSERT_TRUE(SaveSettings(path, Odd(), problem));
  const std::string before = ReadFile(path);
  const auto refused = [&](PlayerSettings s) {
    EXPECT_FALSE(SaveSettings(path, s, problem));
    EXPECT_EQ(problem.rfind(path + ": ", 0), 0u) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos);
    EXPECT_EQ(ReadFile(path), before);
  };
  PlayerSettings s;
  s.voiceId = "a\nrate=5";
  refused(s);
  s = {};
  s.interpreter = "/x\r";
  refused(s);
  s = {};
  s.interpreter = std::string("/x\0y", 4);
  refused(s);
  s = {};
  s.interpreter = "/caf\xE9";  // Latin-1: would load back as damage
  refused(s);
  s = {};
  s.rate = 11;
  refused(s);
  s = {};
  s.volume = -1;
  refused(s);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PlayerSettingsTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  // A full disk, as far as this process can tell; root is held to it too.
  TempDir dir;
  const std::string path = dir.File("player.conf");
  std::string problem;
  ASSERT_TRUE(SaveSettings(path, PlayerSettings(), problem));
  const std::string before = ReadFile(path);
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 16;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SaveSettings(path, Odd(), problem);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_NE(problem.find("cannot be written"), std::string::npos) << problem;
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PlayerSettingsTest, FolderWithoutWriteAccessKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  TempDir dir;
  const std::string path = dir.File("narro/player.conf");
  std::string problem;
  ASSERT_TRUE(SaveSettings(path, PlayerSettings(), problem));
  const std::string before = ReadFile(path);
  ASSERT_EQ(chmod(dir.File("narro").c_str(), 0500), 0);
  EXPECT_FALSE(SaveSettings(path, Odd(), problem));
  EXPECT_NE(problem.find("cannot make a temporary file"), std::string::npos) << problem;
  EXPECT_EQ(ReadFile(path), before);
}

TEST(PlayerSettingsTest, SymlinkIsKeptAndItsTargetReplaced) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("dotfiles").c_str(), 0700), 0);
  WriteFile(dir.File("dotfiles/narro.conf"), "rate=1\n");
  ASSERT_EQ(chmod(dir.File("dotfiles/narro.conf").c_str(), 0640), 0);
  ASSERT_EQ(symlink("dotfiles/narro.conf", dir.File("player.conf").c_str()), 0);
  std::string problem;
  EXPECT_EQ(LoadSettings(dir.File("player.conf"), problem).rate, 1);
  ASSERT_TRUE(SaveSettings(dir.File("player.conf"), Odd(), problem)) << problem;
  struct stat st;
  ASSERT_EQ(lstat(dir.File("player.conf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(dir.File("dotfiles/narro.conf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the user's permissions survive
  ExpectSame(LoadSettings(dir.File("dotfiles/narro.conf"), problem), Odd());
  // A link to nowhere yet: the file is made where it points.
  ASSERT_EQ(symlink(dir.File("later.conf").c_str(), dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(SaveSettings(dir.File("dangling"), Odd(), problem)) << problem;
  ExpectSame(LoadSettings(dir.File("later.conf"), problem), Odd());
}

TEST(PlayerSettingsTest, PathFollowsXdgConfigHomeThenHome) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/x/cfg");
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(SettingsPath(), "/x/cfg/narro/player.conf");
  }
  for (const char* ignored : {"", "relative/cfg", static_cast<const char*>(nullptr)}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(SettingsPath(), "/home/u/.config/narro/player.conf");
  }
  for (const char* noHome : {"", "relative", static_cast<const char*>(nullptr)}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", noHome);
    EXPECT_EQ(SettingsPath(), "");
  }
  std::string problem;
  EXPECT_FALSE(SaveSettings("", Odd(), problem));
  EXPECT_NE(problem, "");
}

// The games folder is whatever bytes its name has (F7 into a folder named
// in Latin-1): saved as UTF-8 text without control bytes, read back as the
// same bytes; a file of before, with a plain backslash, reads as it did.
TEST(PlayerSettingsTest, AGamesFolderOfAnyBytesIsSavedAndReadBack) {
  TempDir dir;
  const std::string path = dir.File("player.conf");
  std::string problem;
  for (const std::string& folder :
       {std::string("/spiele/caf\xE9 f\xFCr Blinde"), std::string("/a\\b\\\\c\\x41\\"),
        std::string("/x\ry\nz\x7F\x1B[J"), std::string("/\0/\xC3", 4),
        std::string("/Zo\xC3\xAB/\xE6\x97\xA5\xF0\x9F\x98\x80/\xED\xA0\x80/\xC0\xAF/\xF4\x90\x80\x80")}) {
    PlayerSettings s;
    s.gamesFolder = folder;
    ASSERT_TRUE(SaveSettings(path, s, problem)) << problem;
    const std::string text = ReadFile(path);
    EXPECT_TRUE(platform::IsUtf8(text)) << text;
    for (char c : text) EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << text;
    EXPECT_EQ(LoadSettings(path, problem).gamesFolder, folder) << text;
    EXPECT_EQ(problem, "");
  }
  // UTF-8 names are written as they are.
  PlayerSettings s;
  s.gamesFolder = "/home/Zo\xC3\xAB/Spiele";
  ASSERT_TRUE(SaveSettings(path, s, problem));
  EXPECT_NE(ReadFile(path).find("\ngames=/home/Zo\xC3\xAB/Spiele\n"), std::string::npos);
  WriteFile(path, "games=/old\\folder\\name\n");
  EXPECT_EQ(LoadSettings(path, problem).gamesFolder, "/old\\folder\\name");
}
