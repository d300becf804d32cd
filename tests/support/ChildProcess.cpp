// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

std::string ChildOutcome::Describe() const {
  if (exited) return "exited with " + std::to_string(code);
  if (signal == SIGALRM) return "hung, and was stopped";
  return std::string("killed by ") + strsignal(signal);
}

ChildOutcome RunInChild(const std::function<int()>& work, int timeoutSeconds) {
  ChildOutcome outcome;
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGALRM, SIG_DFL);
    alarm(static_cast<unsigned>(timeoutSeconds));
    _exit(work());
  }
  if (pid < 0) return outcome;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) {
    outcome.exited = true;
    outcome.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.signal = WTERMSIG(status);
  }
  return outcome;
}
