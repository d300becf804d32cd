// SPDX-License-Identifier: GPL-3.0-or-later
// NarroTest end to end: the real program against the real libNarro.so, its
// speech written as WAV files (speech.log lists every request), its saves in
// a data folder of the test's own, driven by key scripts and in a real
// terminal through tmux.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/debugout/DebugOutput.h"
#include "testhost/Clipboard.h"
#include "testhost/SaveName.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmux.h"

namespace {

TEST(SaveNameTest, ATypedNameGetsTheTagAndSav) {
  EXPECT_EQ(SaveTestFileName("abc"), "abc_%BF60EF9D%_.sav");
}

TEST(SaveNameTest, ANameEndingInSavKeepsItBeforeTheTag) {
  EXPECT_EQ(SaveTestFileName("abc.sav"), "abc.sav_%BF60EF9D%_");
}

TEST(SaveNameTest, AShortNameGetsSavAfterTheTag) {
  EXPECT_EQ(SaveTestFileName("ab"), "ab_%BF60EF9D%_.sav");
  EXPECT_EQ(SaveTestFileName(".sav"), ".sav_%BF60EF9D%_");
}

TEST(SaveNameTest, SavInsideTheNameDoesNotCount) {
  EXPECT_EQ(SaveTestFileName("a.savegame"), "a.savegame_%BF60EF9D%_.sav");
}

TEST(ClipboardTest, Osc52CarriesTheTextInBase64) {
  EXPECT_EQ(Osc52("a\r\nb"), "\033]52;c;YQ0KYg==\a");
  EXPECT_EQ(Osc52("ab"), "\033]52;c;YWI=\a");
  EXPECT_EQ(Osc52("abc"), "\033]52;c;YWJj\a");
}

// NarroTest calls the library through libNarro.so only: a copy of the
// facade's code inside it would be a second facade.
TEST(NarroTestLinkTest, HoldsNoCodeOfTheFacade) {
  std::string out;
  ASSERT_EQ(RunShellCommand("nm -C --defined-only " + ShellQuoted(NARROTEST), out), 0);
  EXPECT_EQ(out.find("CNarro::"), std::string::npos);
  EXPECT_EQ(out.find("CTextStore"), std::string::npos);
  EXPECT_EQ(out.find("CSpeechTTS"), std::string::npos);
  ASSERT_EQ(RunShellCommand("nm -C --undefined-only " + ShellQuoted(NARROTEST), out), 0);
  EXPECT_NE(out.find("CNarro::InitializeSAPI"), std::string::npos);
}

class NarroTestProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // A channel name has at most 32 characters.
    static int tests = 0;
    m_channel = "narrotest-" + std::to_string(getpid()) + "-" + std::to_string(++tests);
  }
  std::string Environment() const {
    return "env NARRO_SPEECH=wav:" + ShellQuoted(m_wav.path()) +
           " NARRO_DATA_DIR=" + ShellQuoted(m_data.path()) +
           " NARRO_DEBUG_CHANNEL=" + ShellQuoted(m_channel) + " ";
  }
  // Runs NarroTest with a key script for its own window and boxes and one
  // for the library's input dialog; its exit status.
  int RunScripted(const std::string& ownKeys, const std::string& libraryKeys) {
    std::string out;
    return RunShellCommand(Environment() + "NARROTEST_KEYS=" + ShellQuoted(ownKeys) +
                               " NARRO_KEYS=" + ShellQuoted(libraryKeys) + " " +
                               ShellQuoted(NARROTEST) + " </dev/null",
                           out);
  }
  std::string Spoken() const { return ReadFile(m_wav.File("speech.log")); }
  std::string Saved(const std::string& name) const { return ReadFile(m_data.File(name)); }
  bool AnySave() const {
    std::string out;
    RunShellCommand("ls " + ShellQuoted(m_data.path()), out);
    return out.find("BF60EF9D") != std::string::npos;
  }

  TempDir m_wav;
  TempDir m_data;
  std::string m_channel;
};

// The first button has the focus; Tab reaches Test Save. When the script
// is used up the window closes as DONE does, with exit code 2.
TEST_F(NarroTestProgram, SavingAbcWritesSavedBesideTheLibrarysData) {
  EXPECT_EQ(RunScripted("<Tab><Enter>", "abc<Enter>"), 2);
  EXPECT_EQ(Saved("abc_%BF60EF9D%_.sav"), "Saved");
  EXPECT_NE(Spoken().find("File successfully saved."), std::string::npos) << Spoken();
}

// The library's input dialog, asked for a file name, turns every "." into
// "_" before the name rule sees it; the rule's own handling of "abc.sav" is
// checked in SaveNameTest above.
TEST_F(NarroTestProgram, SavingAbcSavGetsTheDotCleanedByTheLibrary) {
  EXPECT_EQ(RunScripted("<Tab><Enter>", "abc.sav<Enter>"), 2);
  EXPECT_EQ(Saved("abc_sav_%BF60EF9D%_.sav"), "Saved");
}

TEST_F(NarroTestProgram, SavingAbAppendsSavAfterTheTag) {
  EXPECT_EQ(RunScripted("<Tab><Enter>", "ab<Enter>"), 2);
  EXPECT_EQ(Saved("ab_%BF60EF9D%_.sav"), "Saved");
}

TEST_F(NarroTestProgram, EscapeAtTheNameWritesNothing) {
  EXPECT_EQ(RunScripted("<Tab><Enter>", "<Esc>"), 2);
  EXPECT_FALSE(AnySave());
  EXPECT_EQ(Spoken().find("File successfully saved."), std::string::npos) << Spoken();
}

TEST_F(NarroTestProgram, AnExistingFileAnsweredNoAsksAgainThenYesOverwrites) {
  WriteFile(m_data.File("abc_%BF60EF9D%_.sav"), "old");
  WriteFile(m_data.File("xyz_%BF60EF9D%_.sav"), "old too");
  // No on the first question, then another existing name, Yes.
  EXPECT_EQ(RunScripted("<Tab><Enter>ny", "abc<Enter>xyz<Enter>"), 2);
  EXPECT_EQ(Saved("abc_%BF60EF9D%_.sav"), "old");
  EXPECT_EQ(Saved("xyz_%BF60EF9D%_.sav"), "Saved");
  const std::string spoken = Spoken();
  const std::string question =
      "abc_%BF60EF9D%_.sav already exists, do you want to overwrite? Y or N, or escape to cancel.";
  EXPECT_NE(spoken.find(question), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("xyz_%BF60EF9D%_.sav already exists"), std::string::npos) << spoken;
  EXPECT_NE(spoken.find("File successfully saved."), std::string::npos) << spoken;
}

TEST_F(NarroTestProgram, CancelAtTheQuestionLeavesTheFile) {
  WriteFile(m_data.File("abc_%BF60EF9D%_.sav"), "old");
  EXPECT_EQ(RunScripted("<Tab><Enter><Esc>", "abc<Enter>"), 2);
  EXPECT_EQ(Saved("abc_%BF60EF9D%_.sav"), "old");
  EXPECT_EQ(Spoken().find("File successfully saved."), std::string::npos);
}

TEST_F(NarroTestProgram, AFileThatCannotBeWrittenIsSpokenAndShown) {
  // A folder in the file's place cannot be opened for writing; the box
  // is answered by the script's Enter.
  ASSERT_EQ(mkdir(m_data.File("abc_%BF60EF9D%_.sav").c_str(), 0700), 0);
  EXPECT_EQ(RunScripted("<Tab><Enter>y<Enter>", "abc<Enter>"), 2);
  EXPECT_NE(Spoken().find("Could not save file."), std::string::npos) << Spoken();
}

TEST_F(NarroTestProgram, TheSpeechTestIsHeard) {
  EXPECT_EQ(RunScripted("<Enter>", ""), 2);
  EXPECT_NE(Spoken().find("If you hear me. The speech works. Try the save button next."),
            std::string::npos)
      << Spoken();
}

// In a real terminal.
class NarroTestInTmux : public NarroTestProgram {
 protected:
  std::string Command() const {
    return Environment() + ShellQuoted(NARROTEST) + "; echo EXIT=$?; sleep 60";
  }
};

TEST_F(NarroTestInTmux, ShowsTheLogAndSpeaksThenDoneEndsIt) {
  Tmux tmux(Command(), 100, 40);
  ASSERT_TRUE(tmux.WaitFor("Debug Monitor Started"));
  EXPECT_TRUE(tmux.WaitFor("#### APPLICATION STARTED ####"));
  EXPECT_TRUE(tmux.WaitFor("About to initalize TTS"));
  EXPECT_NE(tmux.RowOf("Test Speech"), -1);
  EXPECT_NE(tmux.RowOf("Test Save"), -1);
  EXPECT_NE(tmux.RowOf("About..."), -1);
  // The terminal's cursor stands on the focused button, the first (the
  // screen may be caught half drawn, so look until it is).
  const int buttons = tmux.RowOf("Test Speech");
  for (int i = 0; i < 2000 && tmux.Cursor().second != buttons; ++i) usleep(10000);
  EXPECT_EQ(tmux.Cursor().second, buttons);
  tmux.Keys("Enter");
  EXPECT_TRUE(tmux.WaitFor("Running speech test"));
  EXPECT_TRUE(tmux.WaitFor("If you hear me. The speech works."));
  EXPECT_NE(Spoken().find("If you hear me. The speech works. Try the save button next."),
            std::string::npos);
  // Shift-Tab from the first button goes round to About, then DONE.
  tmux.Keys("BTab BTab Enter");
  EXPECT_TRUE(tmux.WaitFor("EXIT=2"));
}

TEST_F(NarroTestInTmux, TheSaveTestLogsEachStep) {
  Tmux tmux(Command(), 100, 40);
  ASSERT_TRUE(tmux.WaitFor("Debug Monitor Started"));
  tmux.Keys("Tab Enter");
  ASSERT_TRUE(tmux.WaitFor("Type name of save game"));
  tmux.Keys("abc Enter");
  EXPECT_TRUE(tmux.WaitFor("File Saved Success: abc_%BF60EF9D%_.sav"));
  EXPECT_EQ(Saved("abc_%BF60EF9D%_.sav"), "Saved");
  const std::string screen = tmux.Screen();
  for (const char* line : {"Abut to run save test", "Directory name: ", "Getting text for save game..",
                           "Text received: abc", "Processed Directory: ", "Save Name: "}) {
    EXPECT_NE(screen.find(line), std::string::npos) << line << "\n" << screen;
  }
  EXPECT_NE(screen.find("Getting text for save game..\n"), std::string::npos) << screen;
  tmux.Keys("Tab Tab Enter");  // from Test Save, past the pane to DONE
  EXPECT_TRUE(tmux.WaitFor("EXIT=2"));
}

TEST_F(NarroTestInTmux, AnotherListenerMeansDebuggerAlreadyRunning) {
  setenv("NARRO_DEBUG_CHANNEL", m_channel.c_str(), 1);
  std::string error;
  const auto listener = platform::DebugOutputListener::Start(&error);
  ASSERT_TRUE(listener) << error;
  Tmux tmux(Command(), 100, 30);
  EXPECT_TRUE(tmux.WaitFor("Debug Monitor Started"));
  EXPECT_TRUE(tmux.WaitFor("Debugger Already Running"));
  tmux.Keys("BTab BTab Enter");
  EXPECT_TRUE(tmux.WaitFor("EXIT=2"));
  unsetenv("NARRO_DEBUG_CHANNEL");
}

TEST_F(NarroTestInTmux, PastAThousandLinesThePaneStartsAfresh) {
  Tmux tmux(Command(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  setenv("NARRO_DEBUG_CHANNEL", m_channel.c_str(), 1);
  // A listener slower than the writer (a sanitizer build, a busy machine)
  // makes the writer drop lines for a moment rather than wait: a line that
  // was not taken is written again, so that all of them reach the pane.
  for (int i = 1; i <= 1001; ++i) {
    const std::string line = "line " + std::to_string(i) + "\n";
    for (int tries = 0; tries < 100; ++tries) {
      if (platform::WriteDebugOutput(line) == platform::DebugWriteResult::kSent) break;
      usleep(50000);
    }
  }
  ASSERT_TRUE(tmux.WaitFor("line 1001"));
  platform::OutputDebugString("after\n");
  ASSERT_TRUE(tmux.WaitFor("after"));
  unsetenv("NARRO_DEBUG_CHANNEL");
  // In the pane, Home shows its first line: no longer the start, which
  // went with the clear (where the batch after the thousandth line began
  // depends on how the lines were gathered).
  tmux.Keys("Tab Tab Home");
  const int firstPaneRow = 2;  // under the caption and the first buttons
  for (int i = 0; i < 2000 && tmux.Line(firstPaneRow).rfind("> ", 0) != 0; ++i) usleep(10000);
  EXPECT_EQ(tmux.Line(firstPaneRow).rfind("> ", 0), 0u) << tmux.Screen();
  EXPECT_EQ(tmux.RowOf("APPLICATION STARTED"), -1) << tmux.Screen();
  EXPECT_EQ(tmux.RowOf("Debug Monitor Started"), -1) << tmux.Screen();
}

}  // namespace

namespace {

// The pane's pop-up menu, on Shift-F10 while the pane has the focus.
class NarroTestPaneMenu : public NarroTestInTmux {
 protected:
  void SetUp() override {
    NarroTestInTmux::SetUp();
    // A stand-in for wl-copy that keeps what it is given.
    WriteFile(m_bin.File("wl-copy"), "#!/bin/sh\ncat > " + ShellQuoted(m_bin.File("clipboard")) + "\n");
    chmod(m_bin.File("wl-copy").c_str(), 0755);
  }
  std::string MenuCommand() const { return "env PATH=" + ShellQuoted(m_bin.path()) + ":\"$PATH\" " + Command(); }
  std::string Clipboard() const { return ReadFile(m_bin.File("clipboard")); }
  TempDir m_bin;
};

TEST_F(NarroTestPaneMenu, SelectAllThenCopyPutsThePaneWithCrLf) {
  Tmux tmux(MenuCommand(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  tmux.Keys("Tab Tab S-F10");
  ASSERT_TRUE(tmux.WaitFor("Select All"));
  tmux.Keys("Down Down Enter");
  ASSERT_TRUE(tmux.WaitFor("TEST"));  // Select All names the window so
  tmux.Keys("S-F10");
  ASSERT_TRUE(tmux.WaitFor("Select All"));
  tmux.Keys("Enter");
  for (int i = 0; i < 2000 && Clipboard().find("initalize") == std::string::npos; ++i) usleep(10000);
  const std::string copied = Clipboard();
  EXPECT_EQ(copied.rfind("#### APPLICATION STARTED ####\r\n----------------------\r\nDebug Monitor Started\r\n", 0), 0u)
      << copied;
  EXPECT_NE(copied.find("About to initalize TTS\r\n"), std::string::npos) << copied;
  EXPECT_EQ(copied.find("\n\n"), std::string::npos);
}

TEST_F(NarroTestPaneMenu, CopyTakesTheLineUnderTheCursor) {
  Tmux tmux(MenuCommand(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  tmux.Keys("Tab Tab Home S-F10");
  ASSERT_TRUE(tmux.WaitFor("Select All"));
  tmux.Keys("Enter");
  for (int i = 0; i < 2000 && Clipboard().empty(); ++i) usleep(10000);
  EXPECT_EQ(Clipboard(), "#### APPLICATION STARTED ####");
}

TEST_F(NarroTestPaneMenu, ClearEmptiesThePaneAndNewTextFollows) {
  Tmux tmux(MenuCommand(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  tmux.Keys("Tab Tab S-F10");
  ASSERT_TRUE(tmux.WaitFor("Select All"));
  tmux.Keys("Down Enter");
  ASSERT_TRUE(tmux.WaitFor("DONE"));
  for (int i = 0; i < 2000 && tmux.RowOf("Debug Monitor Started") != -1; ++i) usleep(10000);
  EXPECT_EQ(tmux.RowOf("Debug Monitor Started"), -1) << tmux.Screen();
  // Two stops back from the pane: Test Save, then Test Speech.
  tmux.Keys("BTab BTab Enter");
  EXPECT_TRUE(tmux.WaitFor("Running speech test"));
  EXPECT_EQ(tmux.RowOf("APPLICATION STARTED"), -1);
}

TEST_F(NarroTestInTmux, AltAOpensAboutWhereverTheFocusStands) {
  Tmux tmux(Command(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  tmux.Keys("Tab Tab");  // on to the pane, which keeps letters for itself
  tmux.Keys("M-a");
  ASSERT_TRUE(tmux.WaitFor("version 1.0"));
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Test Speech"));
  tmux.Keys("Escape");  // alone, still DONE
  EXPECT_TRUE(tmux.WaitFor("EXIT=2"));
}

TEST_F(NarroTestInTmux, AboutShowsTheNameAndVersion) {
  Tmux tmux(Command(), 100, 30);
  ASSERT_TRUE(tmux.WaitFor("About to initalize TTS"));
  tmux.Keys("a");  // the mnemonic of &About... while a button has the focus
  ASSERT_TRUE(tmux.WaitFor("version 1.0"));
  EXPECT_NE(tmux.RowOf("NarroTest Application"), -1) << tmux.Screen();
  EXPECT_NE(tmux.RowOf("OK"), -1);
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Test Speech"));
  tmux.Keys("BTab BTab Enter");
  EXPECT_TRUE(tmux.WaitFor("EXIT=2"));
}

}  // namespace
