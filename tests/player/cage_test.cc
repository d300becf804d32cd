// SPDX-License-Identifier: GPL-3.0-or-later
// The cage, entered for real: narro-cage starts a Python script as it
// would an interpreter, and the script tries what a hostile story would.
// Where this kernel lacks Landlock or seccomp the checks that need them
// are skipped, and say so.
#include "player/Cage.h"
#include "player/SmallFiles.h"
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

using namespace player;

namespace {

bool HasLandlock() { return CageShortcomings().find("no Landlock") == std::string::npos; }

// Runs `script` with python3 in the cage, its private folder `folder`; what
// it printed, once it ended (at most 20 s).
std::string RunCaged(const std::string& script, const std::string& story, const std::string& folder,
                     CageKind kind, bool writable, std::string* errors = nullptr) {
  TempDir scripts;
  WriteFile(scripts.File("script.py"), script);
  InterpreterLaunch launch;
  // The story last, as the player gives it (through a link in the folder).
  launch.argv = {NARRO_CAGE_TEST_PYTHON, scripts.File("script.py"), FolderOf(story), story};
  launch.kind = kind;
  launch.programFiles = {scripts.path()};
  Interpreter interpreter;
  std::string error;
  EXPECT_TRUE(StartCaged(interpreter, launch, story, folder, writable, error)) << error;
  std::string output;
  for (int waits = 0; waits < 2000; ++waits) {
    struct pollfd fds[2] = {{interpreter.OutputFd(), POLLIN, 0}, {interpreter.ErrorFd(), POLLIN, 0}};
    poll(fds, 2, 10);
    interpreter.ReadErrors();
    if (!interpreter.ReadOutput(output)) break;
  }
  std::string how;
  interpreter.Reap(how);
  if (errors != nullptr) *errors = interpreter.ErrorTail();
  return output;
}

// A script's attempt: "ok" or the error's name.
const char kTry[] = R"PY(import errno, os, socket, sys
def attempt(name, action):
    try:
        action()
        print(name, "ok")
    except OSError as e:
        print(name, errno.errorcode.get(e.errno, e.errno))
    sys.stdout.flush()
)PY";

}  // namespace

// A story beside the player's saves tries everything it could do with the
// player's rights: only its own folder can be written, the story only read.
TEST(CageTest, AnInterpreterWritesOnlyInItsOwnFolderAndReadsOnlyTheStory) {
  if (!HasLandlock()) GTEST_SKIP() << CageShortcomings();
  TempDir games;
  const std::string story = games.File("story.z5");
  WriteFile(story, "the story");
  WriteFile(games.File("victim_%516989EA%_.glksave"), "a saved game");
  WriteFile(games.File("secret.txt"), "the player's");
  PrivateFolder folder;
  std::string error;
  ASSERT_TRUE(folder.Make(error)) << error;
  struct stat info {};
  ASSERT_EQ(stat(folder.Path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  std::string errors;
  const std::string output = RunCaged(std::string(kTry) + R"PY(
games = sys.argv[1]
story = sys.argv[2]
attempt("read story", lambda: open(story, "rb").read())
attempt("write story", lambda: open(story, "r+b"))
attempt("truncate story", lambda: os.truncate(story, 0))
attempt("delete save", lambda: os.unlink(games + "/victim_%516989EA%_.glksave"))
attempt("read secret", lambda: open(games + "/secret.txt").read())
attempt("write beside", lambda: open(games + "/new.txt", "w"))
attempt("list games", lambda: os.listdir(games))
attempt("write own", lambda: open("own.glksave", "w").write("x"))
attempt("read home", lambda: os.listdir("/root"))
print("env", sorted(os.environ))
)PY", story, folder.Path(), CageKind::kOther, true, &errors);

  EXPECT_NE(output.find("read story ok"), std::string::npos) << output << errors;
  EXPECT_NE(output.find("write story EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("truncate story EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("delete save EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("read secret EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("write beside EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("list games EACCES"), std::string::npos) << output;
  EXPECT_NE(output.find("write own ok"), std::string::npos) << output;
  EXPECT_NE(output.find("read home EACCES"), std::string::npos) << output;
  // Nothing of the player's environment but what an interpreter needs.
  EXPECT_NE(output.find("env ['HOME', 'LANG', 'PATH', 'TMPDIR']"), std::string::npos) << output;
  EXPECT_EQ(ReadFile(story), "the story");
  EXPECT_EQ(ReadFile(games.File("victim_%516989EA%_.glksave")), "a saved game");
  EXPECT_TRUE(FileExists(folder.Path() + "/own.glksave"));
  folder.Remove();
  EXPECT_NE(stat(folder.Path().c_str(), &info), 0);
}

// A story run for its title only may write nothing, not even in its folder.
TEST(CageTest, AStoryRunForItsTitleWritesNothing) {
  if (!HasLandlock()) GTEST_SKIP() << CageShortcomings();
  TempDir games;
  const std::string story = games.File("story.ulx");
  WriteFile(story, "the story");
  PrivateFolder folder;
  std::string error;
  ASSERT_TRUE(folder.Make(error)) << error;
  const std::string output = RunCaged(std::string(kTry) + R"PY(
attempt("write own", lambda: open("own.glksave", "w"))
)PY", story, folder.Path(), CageKind::kOther, false);
  EXPECT_NE(output.find("write own EACCES"), std::string::npos) << output;
}

// The native interpreters' filter: no new process, no socket; and every
// interpreter's limits: no core dump, files capped in size, and a file too
// large is an error, not a signal that ends the game.
TEST(CageTest, NativeInterpretersStartNoProcessAndOpenNoSocket) {
  TempDir games;
  const std::string story = games.File("story.z5");
  WriteFile(story, "the story");
  PrivateFolder folder;
  std::string error;
  ASSERT_TRUE(folder.Make(error)) << error;
  const std::string output = RunCaged(std::string(kTry) + R"PY(
import resource
attempt("fork", lambda: os.fork())
attempt("socket", lambda: socket.socket(socket.AF_INET, socket.SOCK_STREAM))
attempt("unix socket", lambda: socket.socket(socket.AF_UNIX, socket.SOCK_STREAM))
print("core", resource.getrlimit(resource.RLIMIT_CORE))
f = open("big", "wb")
attempt("huge file", lambda: (f.seek(300 << 20), f.write(b"x"), f.flush()))
print("still here")
)PY", story, folder.Path(), CageKind::kNative, true);
  if (CageShortcomings().find("system-call filter") == std::string::npos) {
    EXPECT_NE(output.find("fork EPERM"), std::string::npos) << output;
    EXPECT_NE(output.find("socket EPERM"), std::string::npos) << output;
    EXPECT_NE(output.find("unix socket EPERM"), std::string::npos) << output;
  }
  EXPECT_NE(output.find("core (0, 0)"), std::string::npos) << output;
  EXPECT_NE(output.find("huge file EFBIG"), std::string::npos) << output;
  EXPECT_NE(output.find("still here"), std::string::npos) << output;
}

// The interpreter never outlives the player, however the player ends.
TEST(CageTest, TheInterpreterDiesWithThePlayer) {
  TempDir games;
  const std::string story = games.File("story.z5");
  WriteFile(story, "the story");
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t player = fork();
  ASSERT_GE(player, 0);
  if (player == 0) {
    // A player that starts its interpreter, reports its process and is
    // killed.
    close(report[0]);
    PrivateFolder folder;
    std::string error;
    if (!folder.Make(error)) _exit(1);
    TempDir scripts;
    WriteFile(scripts.File("script.py"), "import time\ntime.sleep(60)\n");
    InterpreterLaunch launch;
    launch.argv = {NARRO_CAGE_TEST_PYTHON, scripts.File("script.py")};
    launch.programFiles = {scripts.path()};
    static Interpreter interpreter;
    if (!StartCaged(interpreter, launch, story, folder.Path(), true, error)) _exit(2);
    const pid_t pid = interpreter.Pid();
    if (write(report[1], &pid, sizeof pid) != sizeof pid) _exit(3);
    pause();
    _exit(0);
  }
  close(report[1]);
  pid_t interpreter = 0;
  ASSERT_EQ(read(report[0], &interpreter, sizeof interpreter), static_cast<ssize_t>(sizeof interpreter));
  close(report[0]);
  ASSERT_GT(interpreter, 0);
  kill(player, SIGKILL);
  int status = 0;
  waitpid(player, &status, 0);
  // Reparented, killed, and reaped by whoever adopted it.
  bool gone = false;
  for (int waits = 0; waits < 500 && !gone; ++waits) {
    std::ifstream stat("/proc/" + std::to_string(interpreter) + "/stat");
    std::string pid, name, state;
    gone = !(stat >> pid >> name >> state) || state == "Z" || state == "X";
    if (!gone) usleep(10000);
  }
  EXPECT_TRUE(gone);
  kill(interpreter, SIGKILL);
}

// A story larger than the interpreters read is refused before any of them
// sees it (a sparse file: no disk is used).
TEST(CageTest, AStoryOf2GiBIsRefusedUnread) {
  TempDir games;
  const std::string story = games.File("huge.ulx");
  WriteFile(story, "Glul");
  ASSERT_EQ(truncate(story.c_str(), static_cast<off_t>(kStoryLimit) + 1), 0);
  PrivateFolder folder;
  std::string error;
  ASSERT_TRUE(folder.Make(error)) << error;
  InterpreterLaunch launch;
  launch.argv = {"/bin/true", story};
  Interpreter interpreter;
  EXPECT_FALSE(StartCaged(interpreter, launch, story, folder.Path(), true, error));
  EXPECT_NE(error.find("larger than 2 GiB"), std::string::npos) << error;
  struct stat info {};
  ASSERT_EQ(stat(story.c_str(), &info), 0);
  EXPECT_EQ(static_cast<uint64_t>(info.st_size), kStoryLimit + 1);
}
