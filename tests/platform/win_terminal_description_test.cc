// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "platform/win/TerminalDescription.h"
#include "tests/support/TempDir.h"

namespace {

using platform::HasTerminalDescription;

TEST(TerminalDescriptionTest, KnownTerminalsAreFoundAndOthersNot) {
  EXPECT_TRUE(HasTerminalDescription("xterm"));
  EXPECT_FALSE(HasTerminalDescription("no-such-terminal"));
  EXPECT_FALSE(HasTerminalDescription(""));
  EXPECT_FALSE(HasTerminalDescription("../terminfo/x/xterm"));
  EXPECT_FALSE(HasTerminalDescription("x/xterm"));
}

TEST(TerminalDescriptionTest, TheFolderInTerminfoIsSearched) {
  TempDir dir;
  mkdir(dir.File("z").c_str(), 0755);
  WriteFile(dir.File("z/zany-term"), "not really a description");
  EXPECT_FALSE(HasTerminalDescription("zany-term"));
  setenv("TERMINFO", dir.path().c_str(), 1);
  EXPECT_TRUE(HasTerminalDescription("zany-term"));
  unsetenv("TERMINFO");
  setenv("TERMINFO_DIRS", ("/nowhere::" + dir.path()).c_str(), 1);
  EXPECT_TRUE(HasTerminalDescription("zany-term"));
  EXPECT_TRUE(HasTerminalDescription("xterm"));  // the empty entry: the system's
  unsetenv("TERMINFO_DIRS");
}

}  // namespace
