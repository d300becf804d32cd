// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/TempDir.h"

namespace {

TEST(LibraryUnloadTest, DlcloseUnloadsAndASecondDlopenMakesAFreshFacade) {
  TempDir data;
  const std::string command = std::string("NARRO_DATA_DIR=") + data.path() +
                              " NARRO_LOG=" + data.File("log") + " " + NARRO_DLOPEN_HOST +
                              " " + NARRO_LIBRARY + " " + data.path();
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::vector<std::string> once = {"DBGVIEWCLEAR", "Construct CNarro...", "ENTER DLL",
                                         "EXIT DLL", "Destructing CNarro..."};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(ReadLines(data.File("log")), twice);
}

}  // namespace
