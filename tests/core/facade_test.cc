// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/AppDirectory.h"
#include "narro/Narro.h"
#include "platform/module/ModulePath.h"
#include "tests/support/LibraryFixture.h"

namespace {

class FacadeTest : public LibraryTest {};

TEST_F(FacadeTest, FreshLibraryHasItsStartingState) {
  StartLibrary();
  CNarro& narro = Facade();
  EXPECT_EQ(&narro, MySingleton<CNarro>::GetSingletonPtr());
  EXPECT_EQ(narro.getFlags(), 17u);
  EXPECT_TRUE(narro.checkFlags(17));
  EXPECT_FALSE(narro.checkFlags(0x21));
  EXPECT_EQ(narro.GetMode(), 0);
  EXPECT_EQ(narro.GetHistory(), 0);
  CTTSString game("x");
  narro.GetGame(game);
  EXPECT_STREQ(static_cast<const char*>(game), "");
  CTTSString root;
  narro.GetRoot(root);
  EXPECT_EQ(std::string(root), DataDir());
}

TEST_F(FacadeTest, LoadAndUnloadWriteTheirLinesInOrder) {
  StartLibrary();
  StopLibrary();
  const std::vector<std::string> expected = {
      "DBGVIEWCLEAR", "Construct CNarro...", "ENTER DLL", "EXIT DLL",
      "Destructing CNarro..."};
  EXPECT_EQ(LogLines(), expected);
  EXPECT_EQ(MySingleton<CNarro>::GetSingletonPtr(), nullptr);
}

TEST_F(FacadeTest, FlagOperationsFollowTheirBitRules) {
  StartLibrary();
  CNarro& narro = Facade();
  EXPECT_EQ(narro.removeFlag(0x02), 19u);  // a clear bit gets set
  narro.setFlags(17);
  EXPECT_EQ(narro.removeFlag(0x01), 16u);
  EXPECT_EQ(narro.addFlag(0x01), 17u);
  narro.clearFlags();
  EXPECT_EQ(narro.getFlags(), 0u);
  EXPECT_TRUE(narro.checkFlags(0));
  EXPECT_FALSE(narro.checkFlags(FLAG_SPEECH));
}

TEST_F(FacadeTest, ModeIsLoggedAndLastsUntilTheNextMonitoredLine) {
  StartLibrary();
  CNarro& narro = Facade();
  ClearLog();
  narro.SetMode(5);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Mode Change 5"});
  EXPECT_EQ(narro.GetMode(), 5);
  narro.SetHistory(1);
  narro.MonitorInput("look");  // skipped: the mode stays
  EXPECT_EQ(narro.GetMode(), 5);
  narro.MonitorInput("look");
  EXPECT_EQ(narro.GetMode(), 0);
}

TEST_F(FacadeTest, GameAndRootAreStoredAsGiven) {
  StartLibrary();
  CNarro& narro = Facade();
  narro.SetGame("/games/zork1.z5");
  narro.SetRoot("/games/");
  CTTSString game;
  CTTSString root;
  narro.GetGame(game);
  narro.GetRoot(root);
  EXPECT_STREQ(static_cast<const char*>(game), "/games/zork1.z5");
  EXPECT_STREQ(static_cast<const char*>(root), "/games/");
  narro.SetRoot(nullptr);
  narro.GetRoot(root);
  EXPECT_STREQ(static_cast<const char*>(root), "");
}

TEST_F(FacadeTest, ManagedHandlesReleaseButNeverDestroyTheFacade) {
  StartLibrary();
  {
    ManagedNARRO first;
    ManagedNARRO second;
    second = first;
    EXPECT_EQ(first.m_facade, &Facade());
    ClearLog();
  }
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{"Releasing CNarro", "Releasing CNarro"}));
  CNarro& narro = Facade();  // still there and still working
  EXPECT_EQ(narro.AddToBuffer(CTTSString("still here")), 2);
  narro.Speak("silent now", 1);
}

TEST_F(FacadeTest, CopyTakesTheStoreAndLeavesTheSingletonAlone) {
  StartLibrary();
  CNarro& original = Facade();
  original.setFlags(5);
  original.SetRoot("/root/");
  {
    CNarro copy(original);
    EXPECT_EQ(MySingleton<CNarro>::GetSingletonPtr(), &original);
    EXPECT_EQ(copy.getFlags(), 5u);
    CTTSString root;
    copy.GetRoot(root);
    EXPECT_STREQ(static_cast<const char*>(root), "/root/");
    EXPECT_EQ(copy.AddToBuffer(CTTSString("moved store")), 2);
    // The source gave its store away; it answers without one.
    EXPECT_EQ(original.AddToBuffer(CTTSString("nothing")), 0);
    EXPECT_EQ(original.MonitorInput("go "), 0);
    EXPECT_EQ(original.GetMode(), 0);
  }
  // Destroying the copy ran the whole destructor, registration included.
  EXPECT_EQ(MySingleton<CNarro>::GetSingletonPtr(), nullptr);
  EXPECT_TRUE(FileExists(DataFile("scratchpad.txt")));
}

TEST_F(FacadeTest, AssignmentTakesOwnershipFromTheSource) {
  StartLibrary();
  CNarro& original = Facade();
  original.AddToBuffer(CTTSString("one two three"));
  CNarro target(original);  // target holds the store now
  CNarro other(target);     // and now other does
  target = other;           // back to target
  EXPECT_EQ(target.AddToBuffer(CTTSString("four")), 4);
  EXPECT_EQ(other.AddToBuffer(CTTSString("five")), 0);
}

TEST_F(FacadeTest, UnloadAfterReleaseStillSavesTheScratchList) {
  WriteFile(DataFile("scratchpad.txt"), "lamp\n");
  StartLibrary();
  Facade().release();
  StopLibrary();
  EXPECT_EQ(ReadFile(DataFile("scratchpad.txt")), "lamp\r\n");
}

TEST_F(FacadeTest, OperationsOfLaterStepsAnswerEmptyWithoutTheirParts) {
  StartLibrary();
  CNarro& narro = Facade();
  std::string voice = "kept";
  long rate = 7;
  int volume = 8;
  narro.GetVoice(voice, rate, volume);  // no engine: outputs untouched
  EXPECT_EQ(voice, "kept");
  EXPECT_EQ(rate, 7);
  EXPECT_EQ(volume, 8);
  narro.ChangeVoice("anything", 1, 2);
  CTTSWString result(L"old");
  narro.getList(result, if_list_words, "", "");
  EXPECT_STREQ(static_cast<const wchar_t*>(result), L"");
  narro.Repeat();
  narro.SpeakParagraph(L"a\nb", 3);
  narro.SpeakDir("/a/b", 3);
}

TEST_F(FacadeTest, TheDataFolderIsDecidedAtEachCallAndEndsInASlash) {
  StartLibrary();
  CTTSString folder("untouched");
  Facade().getDataFolder(folder);
  EXPECT_EQ(std::string(folder), DataDir());
  // A host may change NARRO_DATA_DIR after load; GetRoot keeps the folder
  // of the load, getDataFolder follows.
  setenv("NARRO_DATA_DIR", (DataDir() + "elsewhere").c_str(), 1);
  Facade().getDataFolder(folder);
  EXPECT_EQ(std::string(folder), DataDir() + "elsewhere/");
  CTTSString root;
  Facade().GetRoot(root);
  EXPECT_EQ(std::string(root), DataDir());
  // Without it, a program in the build tree keeps its data beside itself.
  unsetenv("NARRO_DATA_DIR");
  const std::string exe = platform::GetModuleFileName();
  Facade().getDataFolder(folder);
  EXPECT_EQ(std::string(folder), exe.substr(0, exe.rfind('/') + 1));
  setenv("NARRO_DATA_DIR", DataDir().c_str(), 1);
}

TEST(AppDirectoryTest, IsTheExecutablesFolderUnlessTheDataDirIsSet) {
  unsetenv("NARRO_DATA_DIR");
  const std::string exe = platform::GetModuleFileName();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(GetAppDirectory(), exe.substr(0, exe.rfind('/') + 1));
  setenv("NARRO_DATA_DIR", "/var/lib/narro", 1);
  EXPECT_EQ(GetAppDirectory(), "/var/lib/narro/");
  setenv("NARRO_DATA_DIR", "/var/lib/narro/", 1);
  EXPECT_EQ(GetAppDirectory(), "/var/lib/narro/");
  setenv("NARRO_DATA_DIR", "", 1);
  EXPECT_EQ(GetAppDirectory(), exe.substr(0, exe.rfind('/') + 1));
  unsetenv("NARRO_DATA_DIR");
}

}  // namespace
