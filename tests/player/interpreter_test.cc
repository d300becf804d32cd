// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter process and the command that starts it.
#include "player/Interpreter.h"
#include "player/SmallFiles.h"
#include "player/InterpreterCommand.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

using namespace player;

namespace {

// Everything it writes on standard output until it ends; false after 10 s.
bool ReadToEnd(Interpreter& interpreter, std::string& output) {
  for (int waits = 0; waits < 1000; ++waits) {
    struct pollfd fds[2] = {{interpreter.OutputFd(), POLLIN, 0}, {interpreter.ErrorFd(), POLLIN, 0}};
    poll(fds, 2, 10);
    interpreter.ReadErrors();
    if (!interpreter.ReadOutput(output)) return true;
  }
  return false;
}

}  // namespace

TEST(InterpreterTest, SplitsACommandWithoutAShell) {
  std::vector<std::string> words;
  ASSERT_TRUE(SplitCommand("  glulxe -q  'my dir/x'  \"a \\\"b\\\"\" c\\ d $(rm) ", words));
  EXPECT_EQ(words, (std::vector<std::string>{"glulxe", "-q", "my dir/x", "a \"b\"", "c d", "$(rm)"}));
  EXPECT_FALSE(SplitCommand("glulxe 'open", words));
  EXPECT_FALSE(SplitCommand("   ", words));
}

TEST(InterpreterTest, CommandForAStory) {
  std::vector<std::string> argv;
  std::string error;
  ASSERT_TRUE(InterpreterCommand("remglk-glulxe -fm", "", "/games/x.ulx", argv, error));
  EXPECT_EQ(argv, (std::vector<std::string>{"remglk-glulxe", "-fm", "/games/x.ulx"}));
  EXPECT_FALSE(InterpreterCommand("", "", "/games/notes.txt", argv, error));
  EXPECT_NE(error.find("not a story file"), std::string::npos);
  // Z-code and Glulx play on a native interpreter installed with the
  // player, when there is one; every format, or the player's choice, on
  // emglken's.
  EXPECT_EQ(FindNativeInterpreter("hugo"), "");
  if (!FindNativeInterpreter("glulxe").empty()) {
    ASSERT_TRUE(InterpreterCommand("", "glulxe", "/games/x.ulx", argv, error)) << error;
    EXPECT_EQ(argv, (std::vector<std::string>{FindNativeInterpreter("glulxe"), "/games/x.ulx"}));
  }
  setenv("NARRO_EMGLKEN", "/nowhere/emglken.js", 1);
  EXPECT_FALSE(InterpreterCommand("", "hugo", "/games/x.hex", argv, error));
  // What to do is said: here, to name the runner or unset the variable.
  EXPECT_NE(error.find("NARRO_EMGLKEN names no interpreter runner that can be read (/nowhere/emglken.js)"),
            std::string::npos) << error;
  EXPECT_NE(error.find("unset it"), std::string::npos) << error;
  EXPECT_FALSE(InterpreterCommand(kEmglkenChoice, "bocfel", "/games/x.z5", argv, error));
  unsetenv("NARRO_EMGLKEN");
  if (!FindEmglken().empty()) {
    ASSERT_TRUE(InterpreterCommand(kEmglkenChoice, "bocfel", "/games/-x.z5", argv, error));
    ASSERT_EQ(argv.size(), 8u);
    EXPECT_EQ(argv[6], "--");
    EXPECT_EQ(argv[7], "/games/-x.z5");
    // Without Node.js the player says to install it.
    setenv("NARRO_NODE", "/nowhere/node", 1);
    InterpreterLaunch launch;
    ASSERT_TRUE(InterpreterCommand("", "hugo", NARRO_PLAYER_TEST_STORIES "/cave.z5", launch, error));
    TempDir dir;
    Interpreter interpreter;
    EXPECT_FALSE(StartCaged(interpreter, launch, NARRO_PLAYER_TEST_STORIES "/cave.z5", dir.path(), false, error));
    unsetenv("NARRO_NODE");
    EXPECT_NE(error.find("/nowhere/node cannot be started: No such file or directory; install Node.js 18 or later"),
              std::string::npos) << error;
  }
}

TEST(InterpreterTest, TalksOverPipesAndKeepsTheEndOfItsErrors) {
  TempDir dir;
  Interpreter interpreter;
  std::string error;
  // cat answers what it is sent; the folder is where it runs.
  ASSERT_TRUE(interpreter.Start({"sh", "-c", "pwd; head -c 6; echo oops >&2; exit 3"}, dir.path(), error))
      << error;
  EXPECT_TRUE(interpreter.Write("hello\n"));
  std::string output;
  ASSERT_TRUE(ReadToEnd(interpreter, output));
  EXPECT_EQ(output, dir.path().substr(0, dir.path().size() - 1) + "\nhello\n");
  std::string how;
  EXPECT_EQ(interpreter.Reap(how), 3);
  EXPECT_EQ(how, "the interpreter exited with status 3");
  EXPECT_EQ(interpreter.ErrorTail(), "oops");
  EXPECT_FALSE(interpreter.Running());
}

TEST(InterpreterTest, AMissingProgramIsAClearError) {
  Interpreter interpreter;
  std::string error;
  EXPECT_FALSE(interpreter.Start({"/nowhere/interpreter", "story"}, "/", error));
  EXPECT_NE(error.find("/nowhere/interpreter cannot be started"), std::string::npos) << error;
  EXPECT_FALSE(interpreter.Start({"no-such-interpreter-anywhere"}, "/", error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(InterpreterTest, StopEndsAProgramThatIgnoresItsInputAndTerm) {
  Interpreter interpreter;
  std::string error;
  ASSERT_TRUE(interpreter.Start({"sh", "-c", "trap '' TERM; while :; do sleep 1; done"}, "/", error));
  const pid_t pid = interpreter.Pid();
  interpreter.Stop();
  EXPECT_FALSE(interpreter.Running());
  EXPECT_NE(kill(pid, 0), 0);  // gone, and reaped
}

TEST(InterpreterTest, ErrorsAreKeptToTheirLastFewKibibytes) {
  Interpreter interpreter;
  std::string error;
  ASSERT_TRUE(interpreter.Start({"sh", "-c", "head -c 100000 /dev/zero | tr '\\0' x >&2; echo; echo last words >&2"},
                                "/", error));
  std::string output;
  ASSERT_TRUE(ReadToEnd(interpreter, output));
  std::string how;
  interpreter.Reap(how);
  EXPECT_LE(interpreter.ErrorTail().size(), Interpreter::kErrorTail);
  const std::string tail = interpreter.ErrorTail();
  EXPECT_EQ(tail.substr(tail.size() - 10), "last words");
}

// The interpreter takes names as UTF-8 text only: a file in a folder named
// otherwise is given to it through the folder it runs in, open as a
// descriptor of its own, and opens the same file.
TEST(InterpreterTest, AFileInAFolderNotNamedInUtf8IsNamedThroughTheOpenFolder) {
  EXPECT_EQ(PathForInterpreter("/g/caf\xC3\xA9/x.z5", "/g/caf\xC3\xA9", 3), "/g/caf\xC3\xA9/x.z5");
  EXPECT_EQ(PathForInterpreter("/g/\xE9/x.z5", "/g/\xE9", 3), "/proc/self/fd/3/x.z5");
  EXPECT_EQ(PathForInterpreter("\xE9/saves/x.glksave", "\xE9", 3), "/proc/self/fd/3/saves/x.glksave");
  EXPECT_EQ(PathForInterpreter("/g/\xE9/\xE9.z5", "/g/\xE9", 3), "");  // its own name
  EXPECT_EQ(PathForInterpreter("/h/\xE9/x.z5", "/g", 3), "");          // elsewhere
  EXPECT_EQ(PathForInterpreter("\xE9.z5", ".", 3), "");

  TempDir dir;
  const std::string folder = dir.File("\xE9");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  const std::string story = folder + "/story.z5";
  WriteFile(story, "the story's bytes");
  std::vector<std::string> argv;
  std::string error;
  ASSERT_TRUE(InterpreterCommand("cat", "", story, argv, error)) << error;
  EXPECT_EQ(argv, (std::vector<std::string>{"cat", "/proc/self/fd/3/story.z5"}));
  Interpreter interpreter;
  ASSERT_TRUE(interpreter.Start(argv, FolderOf(story), error)) << error;
  std::string output;
  ASSERT_TRUE(ReadToEnd(interpreter, output));
  EXPECT_EQ(output, "the story's bytes");
  std::string how;
  EXPECT_EQ(interpreter.Reap(how), 0) << how << interpreter.ErrorTail();

  EXPECT_FALSE(InterpreterCommand("cat", "", folder + "/\xE9.z5", argv, error));
  EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
}
