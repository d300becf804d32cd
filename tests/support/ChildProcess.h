// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a piece of a test in a child process of its own, for the cases that
// could hang (a pipe where a file should be) or end the process (an
// exception out of a destructor): a hang or a crash then fails the test
// instead of stopping the whole test program.
#ifndef NARRO_TESTS_SUPPORT_CHILD_PROCESS_H_
#define NARRO_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <functional>
#include <string>

struct ChildOutcome {
  bool exited = false;  // ended by returning from work, not by a signal
  int code = -1;        // work's result when exited
  int signal = 0;       // the signal that ended it otherwise (SIGALRM: hung)
  std::string Describe() const;
};

// work runs in a forked child that is killed after timeoutSeconds; its
// return value is the child's exit code.
ChildOutcome RunInChild(const std::function<int()>& work, int timeoutSeconds = 20);

#endif  // NARRO_TESTS_SUPPORT_CHILD_PROCESS_H_
