// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter process and the command that starts it.
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"

#include <gtest/gtest.h>
#include <poll.h>
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
  setenv("NARRO_EMGLKEN", "/nowhere/emglken.js", 1);
  EXPECT_FALSE(InterpreterCommand("", "bocfel", "/games/x.z5", argv, error));
  EXPECT_NE(error.find("not installed"), std::string::npos);
  unsetenv("NARRO_EMGLKEN");
  if (!FindEmglken().empty()) {
    ASSERT_TRUE(InterpreterCommand("", "bocfel", "/games/-x.z5", argv, error));
    ASSERT_EQ(argv.size(), 8u);
    EXPECT_EQ(argv[6], "--");
    EXPECT_EQ(argv[7], "/games/-x.z5");
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
