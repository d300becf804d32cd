// SPDX-License-Identifier: GPL-3.0-or-later
// The narro tool's dialog commands, run as a player runs them, with the
// keys from NARRO_KEYS and no terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/games/GameTestData.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"

namespace {

class NarroDialogCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFile(NARRO_SHIPPED_FINGERPRINTS, m_data.File("fingerprints.xml"));
  }
  // Exit status; standard output in out. `locale` is LC_ALL's value, when
  // given.
  int Run(const std::string& keys, const std::string& arguments, std::string& out,
          const std::string& locale = "") {
    const std::string command = (locale.empty() ? "" : "LC_ALL=" + locale + " ") +
                                "NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) +
                                " NARRO_SPEECH=wav:" + ShellQuoted(m_data.File("speech")) +
                                " NARRO_KEYS=" + ShellQuoted(keys) + " " + NARRO_TOOL + " " +
                                arguments + " 2>" + ShellQuoted(m_data.File("stderr")) + " </dev/null";
    return RunShellCommand(command, out);
  }
  std::string Speech() const { return ReadFile(m_data.File("speech/speech.log")); }
  TempDir m_data, m_work;
};

TEST_F(NarroDialogCommandsTest, ListWordsOfAFileAndKeepTheScratchList) {
  WriteFile(m_work.File("out.txt"), "A lantern and a rope.\n");
  std::string out;
  EXPECT_EQ(Run("l<Enter>", "list words " + ShellQuoted(m_work.File("out.txt")), out), 0);
  EXPECT_EQ(out, "lantern\n");
  EXPECT_EQ(Run("r<Ins><Esc>", "list words " + ShellQuoted(m_work.File("out.txt")), out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ReadFile(m_data.File("scratchpad.txt")), "rope\r\n");
  EXPECT_EQ(Run("<Enter>", "list scratch", out), 0);
  EXPECT_EQ(out, "rope\n");
}

TEST_F(NarroDialogCommandsTest, InputAndChooseFolder) {
  std::string out;
  EXPECT_EQ(Run("Tom & Jerry<Enter>", "input Name --clean", out), 0);
  EXPECT_EQ(out, "Tom  and  Jerry\n");
  EXPECT_EQ(Run("cancelled<Esc>", "input Name", out), 1);
  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(m_work.File("a/b").c_str(), 0755);
  EXPECT_EQ(Run("<Right><Down><Enter>", "choose-folder " + ShellQuoted(m_work.File("a")), out), 0);
  EXPECT_EQ(out, m_work.File("a/b") + "\n");
}

TEST_F(NarroDialogCommandsTest, ListGamesUnderAFolder) {
  CopyFile(DemoFile("cave.z5"), m_work.File("games/cave.z5"));
  CopyFile(DemoFile("tower.z5"), m_work.File("games/tower.z5"));
  std::string out;
  const std::string root = "--root " + ShellQuoted(m_work.File("games"));
  EXPECT_EQ(Run("<Enter>c<Enter>", "list games " + root, out), 0);
  EXPECT_EQ(out, m_work.File("games/cave.z5") + "\n");
  EXPECT_EQ(Run("<Enter>t<Enter>a", "list games " + root, out), 1);
  EXPECT_EQ(Run("<Enter>t<Enter>", "list games " + root, out), 1);  // the box given up
  EXPECT_EQ(Run("<Enter>", "list nonsense", out), 2);
}

// A path is printed as its bytes whatever the locale, so that the shell
// can use it: cd "$(narro choose-folder)" goes where the player chose.
TEST_F(NarroDialogCommandsTest, AChosenPathIsPrintedAsItsBytesInEveryLocale) {
  const std::string cafe = m_work.File("a/caf\xC3\xA9");
  const std::string latin1 = m_work.File("a/\xE9t\xE9");
  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(cafe.c_str(), 0755);
  mkdir(latin1.c_str(), 0755);
  for (const std::string locale : {"C", "C.UTF-8"}) {
    SCOPED_TRACE(locale);
    std::string out;
    EXPECT_EQ(Run("<Right><Enter>", "choose-folder " + ShellQuoted(m_work.File("a")), out,
                  locale), 0);
    EXPECT_EQ(out, cafe + "\n");
    EXPECT_EQ(Run("<Right><Down><Enter>", "choose-folder " + ShellQuoted(m_work.File("a")),
                  out, locale), 0);
    EXPECT_EQ(out, latin1 + "\n");
    const std::string keys = ShellQuoted("<Right><Enter>");
    ASSERT_EQ(RunShellCommand("cd \"$(LC_ALL=" + locale + " NARRO_DATA_DIR=" +
                                  ShellQuoted(m_data.path()) + " NARRO_SPEECH=none NARRO_KEYS=" +
                                  keys + " " + NARRO_TOOL + " choose-folder " +
                                  ShellQuoted(m_work.File("a")) + " </dev/null 2>/dev/null)\" && pwd",
                              out), 0);
    EXPECT_EQ(out, cafe + "\n");
  }
  // The games list gives back the story's path the same way.
  CopyFile(DemoFile("cave.z5"), cafe + "/cave.z5");
  std::string out;
  EXPECT_EQ(Run("<Right><Enter>c<Enter>",
                "list games --root " + ShellQuoted(m_work.File("a")), out, "C.UTF-8"), 0);
  EXPECT_EQ(out, cafe + "/cave.z5\n");
}

// Names and words are text for a person: decoded with the locale, spoken as
// words, and printed back in the locale's encoding.
TEST_F(NarroDialogCommandsTest, WordsAndNamesAreSpokenAsTheLocaleDecodesThem) {
  WriteFile(m_work.File("out.txt"), "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.\n");
  mkdir(m_data.File("speech").c_str(), 0700);
  std::string out;
  // The words are the game's, lower case, in the order of their codes.
  EXPECT_EQ(Run("<Down><Down><Enter>", "list words " + ShellQuoted(m_work.File("out.txt")), out, "C.UTF-8"),
            0);
  EXPECT_EQ(out, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n");
  EXPECT_NE(Speech().find("\tgr\xC3\xBC\xC3\x9F" "e\n"), std::string::npos) << Speech();
  EXPECT_NE(Speech().find("\t\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n"), std::string::npos) << Speech();

  mkdir(m_work.File("a").c_str(), 0755);
  mkdir(m_work.File("a/\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC").c_str(), 0755);
  EXPECT_EQ(Run("<Right><Enter>", "choose-folder " + ShellQuoted(m_work.File("a")), out, "C.UTF-8"),
            0);
  EXPECT_NE(Speech().find("\t\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\n"),
            std::string::npos) << Speech();

  // Typed text comes back in the locale's encoding; the C locale has no
  // byte for it.
  EXPECT_EQ(Run("\u00fc<Enter>", "input Name", out, "C.UTF-8"), 0);
  EXPECT_EQ(out, "\xC3\xBC\n");
  EXPECT_EQ(Run("\u00fc<Enter>", "input Name", out, "C"), 0);
  EXPECT_EQ(out, "?\n");
}

}  // namespace
