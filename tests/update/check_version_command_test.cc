// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/LibraryFixture.h"
#include "tests/update/TestHttpServer.h"
#include "update/VersionStrings.h"

extern char** environ;

namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
};

// Runs the narro tool with the test's environment and takes its standard
// output.
ProgramRun RunNarro(const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {NARRO_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  ProgramRun run;
  char buffer[4096];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
    run.out.append(buffer, static_cast<size_t>(n));
  }
  close(out[0]);
  int status = 0;
  if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    run.status = WEXITSTATUS(status);
  }
  return run;
}

// The project version in four pieces, as narro carries it.
std::string FourPieceVersion(std::string version) {
  while (std::count(version.begin(), version.end(), '.') < 3) version += ".0";
  return version;
}

class CheckVersionCommandTest : public LibraryTest {
 protected:
  void TearDown() override {
    unsetenv("NARRO_VERSION_SERVER");
    LibraryTest::TearDown();
  }

  ProgramRun CheckAgainst(const TestHttpServer& server) {
    setenv("NARRO_VERSION_SERVER", server.BaseUrl().c_str(), 1);
    return RunNarro({"check-version"});
  }
};

HttpReply Body(const std::string& body) {
  HttpReply reply;
  reply.body = body;
  return reply;
}

TEST_F(CheckVersionCommandTest, NarroAsksAboutItselfAndPrintsTheAnswer) {
  const std::string fileVersion = FourPieceVersion(NARRO_PROGRAM_VERSION);
  EXPECT_EQ(GetVersionStrings(NARRO_PROGRAM)[kFileVersion], fileVersion);
  EXPECT_EQ(GetVersionStrings(NARRO_PROGRAM)[kProductName], "narro");

  TestHttpServer newer(Body("ok,999,0,0,0"));
  const ProgramRun run = CheckAgainst(newer);
  std::string localDigits = fileVersion;
  localDigits.erase(std::remove(localDigits.begin(), localDigits.end(), '.'),
                    localDigits.end());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.find("difference: " + std::to_string(999000 - std::stoi(localDigits)) +
                         "\n"),
            0u)
      << run.out;
  EXPECT_NE(run.out.find("text: narro: 999.0.0.0\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("a newer version exists"), std::string::npos) << run.out;
  ASSERT_EQ(newer.Requests().size(), 1u);
  EXPECT_EQ(newer.Requests()[0].requestLine,
            "GET /cgi-bin/version_check.cgi?narro," + fileVersion + " HTTP/1.1");

}

TEST_F(CheckVersionCommandTest, TheSameVersionPrintsDifferenceZero) {
  std::string reply = "ok," + FourPieceVersion(NARRO_PROGRAM_VERSION);
  std::replace(reply.begin(), reply.end(), '.', ',');
  TestHttpServer server(Body(reply));
  const ProgramRun run = CheckAgainst(server);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.find("difference: 0\n"), 0u) << run.out;
  EXPECT_EQ(run.out.find("newer"), std::string::npos) << run.out;
}

TEST_F(CheckVersionCommandTest, FailsWithStatus1WithoutAVersionAnd2ForArguments) {
  TestHttpServer server(Body("ok,1,0,0"));
  const ProgramRun run = CheckAgainst(server);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(RunNarro({"check-version", "extra"}).status, 2);
}

}  // namespace
