// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing the library does may throw into the host or end its process:
// failures of memory at unload and in the typed-line monitor, and reports
// written while the library is still being loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/MyException.h"
#include "tests/core/AllocationFailure.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LibraryFixture.h"
#include "text/TextStore.h"

namespace {

class ExceptionGuardTest : public LibraryTest {};

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines) {
    if (line.rfind(start, 0) == 0) return true;
  }
  return false;
}

TEST_F(ExceptionGuardTest, AFailureWhileSavingAtUnloadIsLoggedAndLosesNoFile) {
  WriteFile(DataFile("scratchpad.txt"), "old\r\n");
  // The save makes one string of the whole list; that allocation fails.
  const ChildOutcome outcome = RunInChild([this] {
    StartLibrary();
    CTextStore::GetSingleton().AddScratch(std::wstring(300000, L'w'));
    {
      FailingLargeAllocations failing(200000);
      StopLibrary();  // would end the process if the destructor threw
    }
    return CNarro::GetSingletonPtr() == nullptr ? 0 : 1;
  });
  EXPECT_TRUE(outcome.exited && outcome.code == 0) << outcome.Describe();
  EXPECT_EQ(ReadFile(DataFile("scratchpad.txt")), "old\r\n");
  const std::vector<std::string> lines = LogLines();
  EXPECT_TRUE(HasLineStartingWith(lines, "****ERROR: An exception has been thrown!"));
  EXPECT_TRUE(HasLineStartingWith(lines, "Function: Init"));
  EXPECT_TRUE(HasLineStartingWith(lines, "Description: unknown exception."));
}

TEST_F(ExceptionGuardTest, TheNarrowMonitorInputWidensInsideTheGuard) {
  StartLibrary();
  Facade().MonitorInput("take lamp ");
  const std::string line = std::string(1 << 20, 'a') + " ";
  int length = -1;
  {
    FailingLargeAllocations failing(2 << 20);  // the wide copy needs 4 MiB
    EXPECT_NO_THROW(length = Facade().MonitorInput(line.c_str()));
  }
  EXPECT_EQ(length, 4);  // "lamp", the last word as the store still holds it
  EXPECT_TRUE(LogHas("Function: CNarro::MonitorInput"));
}

// Written by a function that runs before any of the program's static
// objects are made, as the library's load runs in a host. A plain array,
// since a string object here would itself be made later.
char g_reportWrittenAtLoad[1024];

__attribute__((constructor(101))) void WriteAReportAtLoad() {
  const CMyException e(0, "at load", "Init", "Narro", 0);
  std::strncpy(g_reportWrittenAtLoad, e.what(), sizeof g_reportWrittenAtLoad - 1);
}

TEST(LoadTimeReportTest, ARuleLineIsWholeEvenBeforeStaticObjectsExist) {
  const std::string rule(80, '/');
  EXPECT_EQ(std::string(g_reportWrittenAtLoad).substr(0, 40 + 2 + 81),
            "****ERROR: An exception has been thrown!\n\n" + rule + "\n");
}

}  // namespace
