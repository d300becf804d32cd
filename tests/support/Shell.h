// SPDX-License-Identifier: GPL-3.0-or-later
// Running a program as a user would from the shell.
#ifndef NARRO_TESTS_SUPPORT_SHELL_H_
#define NARRO_TESTS_SUPPORT_SHELL_H_

#include <string>

// The text in single quotes, safe as one shell word.
std::string ShellQuoted(const std::string& text);

// Runs the command line with /bin/sh; its exit status (-1 when it did not
// exit), its standard output in out.
int RunShellCommand(const std::string& command, std::string& out);

#endif  // NARRO_TESTS_SUPPORT_SHELL_H_
