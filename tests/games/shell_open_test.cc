// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "platform/shell/Shell.h"
#include "tests/support/LibraryFixture.h"

namespace {

using Argv = std::vector<std::string>;

class ShellOpenTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
    unsetenv("VISUAL");
    unsetenv("EDITOR");
    m_path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", DataFile("bin").c_str(), 1);
    WriteFile(DataFile("story.z5"), "x");
  }
  bool Open(std::string file, int verb) {
    return Facade().OpenUsingShellExecute(file.data(), verb, nullptr);
  }
  void InstallXdgOpen() {
    mkdir(DataFile("bin").c_str(), 0755);
    WriteFile(DataFile("bin/xdg-open"), "#!/bin/sh\n");
    chmod(DataFile("bin/xdg-open").c_str(), 0755);
  }
  void TearDown() override {
    // The other tests of this program run with the PATH they started with.
    setenv("PATH", m_path.c_str(), 1);
    unsetenv("VISUAL");
    unsetenv("EDITOR");
    LibraryTest::TearDown();
  }
  std::string m_path;

  // Records what would have been started; refuses the program named in
  // refused, as a program that cannot be run.
  class RecordingStarter : public platform::ProcessStarter {
   public:
    explicit RecordingStarter(ShellOpenTest& test) : m_test(test) {}
    bool Start(const Argv& argv) override {
      m_test.started.push_back(argv);
      return argv[0] != m_test.refused;
    }

   private:
    ShellOpenTest& m_test;
  };

  std::vector<Argv> started;
  std::string refused = "none";
  RecordingStarter recorder{*this};
  std::unique_ptr<platform::ScopedProcessStarter> recording =
      std::make_unique<platform::ScopedProcessStarter>(recorder);
};

TEST_F(ShellOpenTest, EachVerbStartsItsOwnProgram) {
  const std::string file = DataFile("story.z5");
  setenv("VISUAL", " my-editor  --wait ", 1);
  setenv("EDITOR", "not-this-one", 1);
  for (const int verb : {0, 1, 2, 3, -1}) EXPECT_TRUE(Open(file, verb)) << verb;
  EXPECT_EQ(started, (std::vector<Argv>{{"xdg-open", file},
                                        {"my-editor", "--wait", file},
                                        {"lp", file},
                                        {"xdg-open", file},
                                        {"xdg-open", file}}));
  unsetenv("VISUAL");
  started.clear();
  EXPECT_TRUE(Open(file, 1));
  EXPECT_EQ(started, (std::vector<Argv>{{"not-this-one", file}}));
}

TEST_F(ShellOpenTest, WhenTheVerbsProgramFailsOnlyOpeningFallsBackToTheAssociatedProgram) {
  const std::string file = DataFile("story.z5");
  refused = "lp";
  EXPECT_FALSE(Open(file, 2));  // and no xdg-open to fall back on
  EXPECT_EQ(started, (std::vector<Argv>{{"lp", file}}));
  InstallXdgOpen();
  // The opener can neither print nor edit: asking for either must not
  // report success after merely opening the file.
  started.clear();
  EXPECT_FALSE(Open(file, 2));
  EXPECT_EQ(started, (std::vector<Argv>{{"lp", file}}));
  started.clear();
  EXPECT_FALSE(Open(file, 1));  // no editor chosen
  EXPECT_TRUE(started.empty());
  refused = "xdg-open";
  started.clear();
  EXPECT_TRUE(Open(file, 0));
  EXPECT_EQ(started, (std::vector<Argv>{{"xdg-open", file}, {DataFile("bin/xdg-open"), file}}));
}

TEST_F(ShellOpenTest, NothingStartsForAFileThatDoesNotExist) {
  InstallXdgOpen();
  EXPECT_FALSE(Open(DataFile("absent.z5"), 0));
  EXPECT_FALSE(Facade().OpenUsingShellExecute(nullptr, 0, nullptr));
  EXPECT_FALSE(Open("", 0));
  EXPECT_TRUE(started.empty());
}

TEST_F(ShellOpenTest, ANameStartingWithADashIsNeverTakenForAnOption) {
  ASSERT_EQ(chdir(DataDir().c_str()), 0);
  WriteFile(DataFile("-n.z5"), "x");
  EXPECT_TRUE(Open("-n.z5", 0));
  EXPECT_EQ(started, (std::vector<Argv>{{"xdg-open", "./-n.z5"}}));
}

TEST_F(ShellOpenTest, RealProgramsAreStartedWithoutAShell) {
  recording.reset();  // the real starter
  mkdir(DataFile("bin").c_str(), 0755);
  ASSERT_EQ(symlink("/bin/true", DataFile("bin/true").c_str()), 0);
  setenv("VISUAL", "true", 1);
  EXPECT_TRUE(Open(DataFile("story.z5"), 1));
  // A shell would run both commands; here "true;" is a program's name.
  setenv("VISUAL", ("true; /usr/bin/touch " + DataFile("made")).c_str(), 1);
  EXPECT_FALSE(Open(DataFile("story.z5"), 1));
  EXPECT_FALSE(FileExists(DataFile("made")));
}

}  // namespace
