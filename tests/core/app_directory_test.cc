// SPDX-License-Identifier: GPL-3.0-or-later
// Where the library keeps its data: the decision on its own (any program
// path, environment and build tree), the folders it makes, and the narro
// tool copied out of the build tree, where it behaves as an installed
// program does.
#include <errno.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/AppDirectory.h"
#include "platform/file/MakeFolders.h"
#include "platform/module/ModulePath.h"
#include "tests/support/Shell.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kTree = "/src/narro/build";

DataFolderEnvironment Environment(const std::string& dataDir, const std::string& xdg,
                                  const std::string& home) {
  DataFolderEnvironment environment;
  environment.dataDir = dataDir;
  environment.xdgDataHome = xdg;
  environment.home = home;
  return environment;
}

TEST(ChooseDataFolderTest, NarroDataDirWinsWhereverTheProgramLies) {
  for (const std::string& program : {kTree + "/tools/narro/narro", std::string("/usr/bin/narro")}) {
    const DataFolder folder =
        ChooseDataFolder(program, Environment("/var/lib/narro", "/x", "/home/p"), kTree);
    EXPECT_EQ(folder.path, "/var/lib/narro/");
    EXPECT_EQ(folder.kind, DataFolderKind::kOverride);
  }
  EXPECT_EQ(ChooseDataFolder("/usr/bin/narro", Environment("/d/", "", ""), kTree).path, "/d/");
}

TEST(ChooseDataFolderTest, AProgramInTheBuildTreeKeepsItsDataBesideItself) {
  const DataFolder folder = ChooseDataFolder(kTree + "/tests/core/narro_core_tests",
                                             Environment("", "/x/data", "/home/p"), kTree);
  EXPECT_EQ(folder.path, kTree + "/tests/core/");
  EXPECT_EQ(folder.kind, DataFolderKind::kBuildTree);
  EXPECT_EQ(ChooseDataFolder(kTree + "/narro", Environment("", "", ""), kTree + "/").path,
            kTree + "/");
}

TEST(ChooseDataFolderTest, AnyOtherProgramUsesTheUsersXdgDataFolder) {
  for (const std::string& program :
       {std::string("/usr/local/bin/narro-play"), std::string("/usr/games/frotz"),
        std::string("/home/p/src/host/build/host"), kTree + "-asan/tools/narro/narro",
        std::string("/src/narro/buil"), std::string("")}) {
    const DataFolder folder =
        ChooseDataFolder(program, Environment("", "/home/p/data", "/home/p"), kTree);
    EXPECT_EQ(folder.path, "/home/p/data/narro/") << program;
    EXPECT_EQ(folder.kind, DataFolderKind::kUserData) << program;
  }
  EXPECT_EQ(ChooseDataFolder("/usr/bin/h", Environment("", "/d/", "/home/p"), kTree).path,
            "/d/narro/");
}

TEST(ChooseDataFolderTest, WithoutAnAbsoluteXdgDataHomeItIsUnderTheHomeFolder) {
  for (const std::string& xdg : {std::string(""), std::string("relative/data"), std::string("~/data")}) {
    const DataFolder folder = ChooseDataFolder("/usr/bin/h", Environment("", xdg, "/home/p"), kTree);
    EXPECT_EQ(folder.path, "/home/p/.local/share/narro/") << xdg;
    EXPECT_EQ(folder.kind, DataFolderKind::kUserData);
  }
  EXPECT_EQ(ChooseDataFolder("/usr/bin/h", Environment("", "", "/home/p/"), kTree).path,
            "/home/p/.local/share/narro/");
}

TEST(ChooseDataFolderTest, WithNoHomeAtAllItIsTheProgramsFolder) {
  const DataFolder folder = ChooseDataFolder("/usr/bin/h", Environment("", "rel", ""), kTree);
  EXPECT_EQ(folder.path, "/usr/bin/");
  EXPECT_EQ(folder.kind, DataFolderKind::kNoHome);
}

TEST(ChooseDataFolderTest, WithoutABuildTreeEveryProgramIsInstalled) {
  EXPECT_EQ(ChooseDataFolder(kTree + "/narro", Environment("", "/x", "/h"), "").kind,
            DataFolderKind::kUserData);
}

TEST(LiesInFolderTest, ComparesWholeNames) {
  EXPECT_TRUE(LiesInFolder("/b/build", "/b/build"));
  EXPECT_TRUE(LiesInFolder("/b/build/x/y", "/b/build"));
  EXPECT_TRUE(LiesInFolder("/b/build/x", "/b/build/"));
  EXPECT_TRUE(LiesInFolder("/b/build/x", "/b/build//"));
  EXPECT_TRUE(LiesInFolder("/x", "/"));
  EXPECT_FALSE(LiesInFolder("/b/build-asan/x", "/b/build"));
  EXPECT_FALSE(LiesInFolder("/b/buil", "/b/build"));
  EXPECT_FALSE(LiesInFolder("/b", "/b/build"));
  EXPECT_FALSE(LiesInFolder("", "/b"));
  EXPECT_FALSE(LiesInFolder("/b/x", ""));
}

TEST(InstalledDataFoldersTest, BesideTheProgramThenBesideTheLibraryThenAsConfigured) {
  const InstallLayout layout{"../share", "../../share", "/usr/local/share"};
  EXPECT_EQ(InstalledDataFolders("/usr/games/frotz-narro",
                                 "/opt/narro/lib/x86_64-linux-gnu/libNarro.so.0.1.0", layout),
            (std::vector<std::string>{"/usr/share/narro/", "/opt/narro/share/narro/",
                                      "/usr/local/share/narro/"}));
  // The narro tool carries the library's code: one folder, named once.
  EXPECT_EQ(InstalledDataFolders("/tmp/p/bin/narro", "/tmp/p/bin/narro",
                                 InstallLayout{"../share", "../share", "/tmp/p/share"}),
            (std::vector<std::string>{"/tmp/p/share/narro/"}));
}

TEST(InstalledDataFoldersTest, AnUnknownPartIsLeftOut) {
  EXPECT_EQ(InstalledDataFolders("", "", InstallLayout{"../share", "../share", ""}),
            std::vector<std::string>{});
  EXPECT_EQ(InstalledDataFolders("/p/bin/x", "/p/lib/libNarro.so",
                                 InstallLayout{"", "", "/usr/share/"}),
            (std::vector<std::string>{"/usr/share/narro/"}));
}

// This test program lies in the build tree: its data folder is its own
// folder, whatever XDG_DATA_HOME says, and nothing is made there.
TEST(AppDirectoryInBuildTreeTest, IsTheProgramsFolderAndHasNoInstallation) {
  TempDir xdg;
  unsetenv("NARRO_DATA_DIR");
  setenv("XDG_DATA_HOME", xdg.path().c_str(), 1);
  const std::string exe = platform::GetModuleFileName();
  EXPECT_EQ(GetAppDirectory(), exe.substr(0, exe.rfind('/') + 1));
  EXPECT_FALSE(FileExists(xdg.File("narro")));
  EXPECT_TRUE(InstalledDataFolders().empty());
  unsetenv("XDG_DATA_HOME");
}

// The library's code is linked into this program: the file that holds it
// is the program. (The install test finds share/narro from the real
// libNarro.so.)
TEST(LibraryFileNameTest, IsTheProgramWhenTheCodeIsLinkedIn) {
  EXPECT_EQ(platform::GetLibraryFileName(), platform::GetModuleFileName());
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

TEST(MakeFoldersTest, MakesEveryMissingFolderWithTheModeAndLeavesTheOthers) {
  TempDir dir;
  chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(platform::MakeFolders(dir.File("a/b//c/"), 0700));
  EXPECT_EQ(ModeOf(dir.File("a")), 0700u);
  EXPECT_EQ(ModeOf(dir.File("a/b/c")), 0700u);
  EXPECT_EQ(ModeOf(dir.path()), 0755u) << "a folder already there is left as it is";
  EXPECT_TRUE(platform::MakeFolders(dir.File("a/b/c"), 0700)) << "there already";
  ASSERT_EQ(symlink(dir.File("a").c_str(), dir.File("link").c_str()), 0);
  EXPECT_TRUE(platform::MakeFolders(dir.File("link/d"), 0700));
  EXPECT_EQ(ModeOf(dir.File("a/d")), 0700u);
}

TEST(MakeFoldersTest, FailsWhenSomethingElseStandsInTheWay) {
  TempDir dir;
  WriteFile(dir.File("file"), "x");
  errno = 0;
  EXPECT_FALSE(platform::MakeFolders(dir.File("file/narro"), 0700));
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_FALSE(platform::MakeFolders(dir.File("file"), 0700));
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_FALSE(platform::MakeFolders("", 0700));
}

// The narro tool copied out of the build tree: a program that is not in
// it, as an installed one is not. NARRO_DATA_DIR is left out of its
// environment; XDG_DATA_HOME points into the test's own folder.
class OutsideTheBuildTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::MakeFolders(m_dir.File("prefix/bin"), 0755));
    m_tool = m_dir.File("prefix/bin/narro");
    std::string out;
    ASSERT_EQ(RunShellCommand("cp " + ShellQuoted(NARRO_TOOL) + " " + ShellQuoted(m_tool), out), 0);
  }
  // Exit status; standard output in out, the log in log.
  int Run(const std::string& xdg, const std::string& arguments, std::string& out) {
    const std::string command = "unset NARRO_DATA_DIR; XDG_DATA_HOME=" + ShellQuoted(xdg) +
                                " NARRO_LOG=" + ShellQuoted(m_dir.File("log")) + " " +
                                ShellQuoted(m_tool) + " " + arguments + " 2>/dev/null";
    return RunShellCommand(command, out);
  }
  TempDir m_dir;
  std::string m_tool;
};

TEST_F(OutsideTheBuildTreeTest, TheDataFolderIsMadeInXdgDataHomeForTheUserAlone) {
  std::string out;
  const std::string data = m_dir.File("xdg/narro/");
  ASSERT_EQ(Run(m_dir.File("xdg"), "self-check", out), 0);
  EXPECT_NE(out.find("root folder: " + data + "\n"), std::string::npos) << out;
  EXPECT_EQ(ModeOf(m_dir.File("xdg")), 0700u);
  EXPECT_EQ(ModeOf(data), 0700u);
  EXPECT_TRUE(FileExists(data + "scratchpad.txt")) << "written at unload";
  EXPECT_FALSE(FileExists(m_dir.File("prefix/bin/scratchpad.txt")));
}

TEST_F(OutsideTheBuildTreeTest, AMissingNarroDataDirIsMadeForTheUserAlone) {
  const std::string data = m_dir.File("named/data/");
  std::string out;
  ASSERT_EQ(RunShellCommand("NARRO_DATA_DIR=" + ShellQuoted(data) + " " + ShellQuoted(m_tool) +
                                " self-check 2>/dev/null",
                            out),
            0);
  EXPECT_NE(out.find("root folder: " + data + "\n"), std::string::npos) << out;
  EXPECT_EQ(ModeOf(m_dir.File("named")), 0700u);
  EXPECT_EQ(ModeOf(data), 0700u);
  EXPECT_TRUE(FileExists(data + "scratchpad.txt")) << "written at unload";
}

TEST_F(OutsideTheBuildTreeTest, AFolderThatCannotBeMadeIsLoggedAndStillNamed) {
  WriteFile(m_dir.File("file"), "x");
  std::string out;
  EXPECT_EQ(Run(m_dir.File("file"), "self-check", out), 0);
  EXPECT_NE(out.find("root folder: " + m_dir.File("file/narro/") + "\n"), std::string::npos) << out;
  const std::string log = ReadFile(m_dir.File("log"));
  EXPECT_NE(log.find("Could not make the data folder " + m_dir.File("file/narro/")),
            std::string::npos)
      << log;
}

TEST_F(OutsideTheBuildTreeTest, TheShippedGamesComeFromShareNarroUnlessTheDataFolderHasItsOwn) {
  ASSERT_TRUE(platform::MakeFolders(m_dir.File("games"), 0755));
  std::string out;
  ASSERT_EQ(RunShellCommand("cp " + ShellQuoted(NARRO_DEMO_STORY) + " " +
                                ShellQuoted(m_dir.File("games/windfall.z5")),
                            out),
            0);
  const std::string scan = "scan " + ShellQuoted(m_dir.File("games"));
  // No database anywhere: nothing is known (unless this machine has an
  // installation where the build would put it).
  if (!FileExists(std::string(NARRO_INSTALL_FULL_DATADIR) + "/narro/fingerprints.xml")) {
    EXPECT_EQ(Run(m_dir.File("xdg"), scan, out), 0);
    EXPECT_EQ(out, "");
  }

  ASSERT_TRUE(platform::MakeFolders(m_dir.File("prefix/share/narro"), 0755));
  WriteFile(m_dir.File("prefix/share/narro/fingerprints.xml"), ReadFile(NARRO_SHIPPED_FINGERPRINTS));
  EXPECT_EQ(Run(m_dir.File("xdg"), scan, out), 0);
  EXPECT_EQ(out, "516989EA\tWindfall\t" + m_dir.File("games/windfall.z5") + "\n");

  WriteFile(m_dir.File("xdg/narro/fingerprints.xml"),
            "<games><supported_game fingerprint=\"516989EA\" FullName=\"My Windfall\" sn=\"261207\"/>"
            "</games>");
  EXPECT_EQ(Run(m_dir.File("xdg"), scan, out), 0);
  EXPECT_EQ(out, "516989EA\tMy Windfall\t" + m_dir.File("games/windfall.z5") + "\n");
}

}  // namespace
