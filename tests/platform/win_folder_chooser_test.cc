// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/win/FolderChooser.h"
#include "platform/win/FolderListing.h"
#include "platform/locale/TextEncoding.h"
#include "tests/platform/WinTestSupport.h"
#include "tests/support/TempDir.h"

using namespace wintest;

namespace {

class FolderChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = NormalFolder(dir.path());
    for (const char* name : {"b", "A", "c", "b/inner", "b/Deeper", "c/x"}) {
      mkdir((root + "/" + name).c_str(), 0755);
    }
    WriteFile(root + "/a-file", "not a folder");
  }

  // The chosen folder, or "cancelled".
  std::string Choose(const std::wstring& keys, const std::string& start, bool speak = false) {
    ScriptedDialogIo io(keys, 60, 30);
    ScopedDialogIo replaced(io);
    ScopedAnnouncer announced(announcer);
    std::string chosen;
    const bool ok = BrowseForFolder(nullptr, start, "Choose a directory to scan for games", speak, chosen);
    frame = io.LastFrame();
    return ok ? chosen : "cancelled";
  }

  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const FrameLine& line : frame.lines) texts.push_back(line.text);
    return texts;
  }

  // "flags text" of everything said.
  std::vector<std::wstring> Said() const {
    std::vector<std::wstring> said;
    for (const auto& [text, flags] : announcer.said) {
      said.push_back(std::to_wstring(flags) + L" " + text);
    }
    return said;
  }

  TempDir dir;
  std::string root;
  RecordingAnnouncer announcer;
  Frame frame;
};

TEST_F(FolderChooserTest, StartsWithTheStartFolderSelectedAmongItsSisters) {
  EXPECT_EQ(Choose(L"", root + "/b"), "cancelled");
  const std::wstring shownRoot = std::wstring(root.begin(), root.end());
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Choose a directory to scan for games", shownRoot,
                                                L"  ..", L"  A", L"> b", L"  c"}));
}

TEST_F(FolderChooserTest, EnterChoosesTheFolderUnderTheCursor) {
  EXPECT_EQ(Choose(L"<Enter>", root + "/b/"), root + "/b");
  EXPECT_EQ(Choose(L"<Down><Enter>", root + "/b"), root + "/c");
  EXPECT_EQ(Choose(L"<Up><Up><Enter>", root + "/b"), "cancelled");  // ".." moves up
  const std::string parent = ParentFolder(root);
  EXPECT_EQ(Texts()[1], std::wstring(parent.begin(), parent.end()));
  EXPECT_EQ(frame.lines[frame.cursorRow].text, L"> " + platform::WideFromLocale(LastName(root)));
}

TEST_F(FolderChooserTest, RightMovesDownAndEnterOnDotDotMovesUp) {
  EXPECT_EQ(Choose(L"<Right><Enter>", root + "/b"), root + "/b/Deeper");
  EXPECT_EQ(Choose(L"<Right><Down><Enter>", root + "/b"), root + "/b/inner");
  // Down into b, up again by "..", where b is under the cursor again.
  EXPECT_EQ(Choose(L"<Right><Home><Enter><Down><Enter>", root + "/b"), root + "/c");
  EXPECT_EQ(Choose(L"<Right><Left><Enter>", root + "/b"), root + "/b");
  EXPECT_EQ(Choose(L"<Home><Right>", root + "/b"), "cancelled");
  const std::string parent = ParentFolder(root);
  EXPECT_EQ(Texts()[1], std::wstring(parent.begin(), parent.end()));
}

TEST_F(FolderChooserTest, EscapeCancels) {
  EXPECT_EQ(Choose(L"<Down><Esc><Enter>", root + "/b"), "cancelled");
}

TEST_F(FolderChooserTest, SaysEachFolderTheCursorReachesWhenAsked) {
  Choose(L"<Down><Right><Esc>", root + "/b", true);
  // The opening queues the folder under the cursor behind whatever
  // introduced the chooser. Entering c says its name and how many folders
  // it holds, then (queued behind) the folder under the cursor.
  EXPECT_EQ(Said(), (std::vector<std::wstring>{L"1 b", L"3 c", L"3 c, 1 folder", L"1 x"}));
  announcer.said.clear();
  Choose(L"<Down><Right><Esc>", root + "/b", false);
  EXPECT_TRUE(announcer.said.empty());
}

TEST_F(FolderChooserTest, AFolderThatCannotBeOpenedIsSaidToBeSoAndTheChooserStays) {
  mkdir((root + "/locked").c_str(), 0755);
  chmod((root + "/locked").c_str(), 0);
  const std::string chosen = Choose(L"<End><Right><Enter>", root + "/b", true);
  chmod((root + "/locked").c_str(), 0755);
  EXPECT_EQ(chosen, root + "/locked");
  EXPECT_EQ(Said(), (std::vector<std::wstring>{L"1 b", L"3 locked", L"3 locked cannot be opened."}));
}

TEST_F(FolderChooserTest, AStartFolderThatIsGoneStartsInItsParent) {
  EXPECT_EQ(Choose(L"<Enter>", root + "/gone"), root + "/A");
}

TEST_F(FolderChooserTest, FiveThousandFoldersInNameOrder) {
  const std::string many = root + "/many";
  mkdir(many.c_str(), 0755);
  for (int i = 4999; i >= 0; --i) mkdir((many + "/f" + std::to_string(10000 + i)).c_str(), 0755);
  EXPECT_EQ(Choose(L"<End><Enter>", many + "/f10000"), many + "/f14999");
  EXPECT_EQ(Choose(L"<Down><Enter>", many + "/f10000"), many + "/f10001");
}

TEST_F(FolderChooserTest, ALongPathIsNoProblem) {
  std::string deep = root;
  for (int i = 0; i < 30; ++i) {
    deep += "/" + std::string(100, static_cast<char>('a' + i % 26));
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  }
  ASSERT_GT(deep.size(), 3000u);  // far beyond the 260 of MAX_PATH
  EXPECT_EQ(Choose(L"<Enter>", deep), deep);
  EXPECT_EQ(Choose(L"<Home><Enter><Enter>", deep), ParentFolder(deep));
}

TEST(FolderListingTest, PathPieces) {
  EXPECT_EQ(ParentFolder("/a/b/c"), "/a/b");
  EXPECT_EQ(ParentFolder("/a"), "/");
  EXPECT_EQ(ParentFolder("/"), "/");
  EXPECT_EQ(LastName("/a/b/c"), "c");
  EXPECT_EQ(LastName("/"), "");
  EXPECT_EQ(JoinFolder("/", "a"), "/a");
  EXPECT_EQ(JoinFolder("/a", "b"), "/a/b");
  EXPECT_EQ(NormalFolder("/a/b//"), "/a/b");
  EXPECT_EQ(NormalFolder("/"), "/");
}

}  // namespace
