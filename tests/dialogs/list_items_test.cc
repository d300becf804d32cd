// SPDX-License-Identifier: GPL-3.0-or-later
// What Insert and Delete do to each kind of list entry, and what the
// player hears.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <boost/weak_ptr.hpp>
#include <memory>

#include "dialogs/ListItems.h"
#include "platform/win/MessageBox.h"
#include "tests/speech/SpeechFixture.h"
#include "text/TextStore.h"

namespace {

class ListItemsTest : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    StartSpeaking();
  }
  void TearDown() override {
    m_answering.reset();
    SpeechTest::TearDown();
  }
  CTextStore& Store() { return CTextStore::GetSingleton(); }
  // Hands the key to the entry as the dialog does: the text first.
  static bool Press(CListItem& item, const std::wstring& text, int key) {
    item.m_pText = &text;
    return item.handleKey(key);
  }
  std::vector<std::string> Spoken() {
    std::vector<std::string> texts;
    for (const SpeakRequest& request : Requests()) {
      texts.push_back(std::to_string(request.flags) + " " + request.text);
    }
    return texts;
  }
  // Answers every box with the answer given, and keeps what each asked.
  class AnsweringBoxes : public platform::MessageBoxes {
   public:
    AnsweringBoxes(std::vector<std::string>& asked, int answer)
        : m_asked(asked), m_answer(answer) {}
    int Show(void*, const std::string& text, const std::string& caption,
             unsigned type) override {
      m_asked.push_back(caption + ": " + text + " " + std::to_string(type));
      return m_answer;
    }

   private:
    std::vector<std::string>& m_asked;
    const int m_answer;
  };
  void AnswerBoxesWith(int answer) {
    m_answering.reset();
    m_boxes = std::make_unique<AnsweringBoxes>(boxes, answer);
    m_answering = std::make_unique<platform::ScopedMessageBoxes>(*m_boxes);
  }
  std::vector<std::string> boxes;
  std::unique_ptr<AnsweringBoxes> m_boxes;
  std::unique_ptr<platform::ScopedMessageBoxes> m_answering;
};

TEST_F(ListItemsTest, KeysAnEntryDoesNotTakeDoNothingAndSayNothing) {
  CGameListItem game(&Store());
  CSaveListItem save(&Store());
  CVoiceListItem voice(&Store());
  CWordListItem word(&Store());
  CScratchListItem scratch(&Store());
  Store().AddScratch(L"lamp");
  EXPECT_FALSE(Press(game, L"Cave Quest", kKeyInsert));
  EXPECT_FALSE(Press(game, L"Cave Quest", kKeyDelete));
  EXPECT_FALSE(Press(save, L"hall: Cave Quest", kKeyInsert));
  EXPECT_FALSE(Press(voice, L"English", kKeyDelete));
  EXPECT_FALSE(Press(word, L"lamp", kKeyDelete));
  EXPECT_FALSE(Press(scratch, L"lamp", kKeyInsert));
  EXPECT_FALSE(Press(word, L"lamp", 13));
  EXPECT_TRUE(Requests().empty());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Store().Scratch().size(), 1u);
}

TEST_F(ListItemsTest, InsertCopiesAWordAndSaysSoOnlyWithBothFlags) {
  CWordListItem word(&Store());
  EXPECT_TRUE(Press(word, L"lantern", kKeyInsert));
  EXPECT_EQ(Store().Scratch().count(L"lantern"), 1u);
  Facade().setFlags(16);
  EXPECT_TRUE(Press(word, L"rope", kKeyInsert));
  Facade().setFlags(1);
  EXPECT_TRUE(Press(word, L"sword", kKeyInsert));
  EXPECT_EQ(Store().Scratch().size(), 3u);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"17 Inserted lantern"});
}

TEST_F(ListItemsTest, DeleteRemovesAScratchWordWhoseEntryThenNoLongerExists) {
  Store().AddScratch(L"lantern");
  const boost::weak_ptr<CScratchListItem> entry = Store().Scratch().at(L"lantern");
  EXPECT_TRUE(Press(*Store().Scratch().at(L"lantern"), L"lantern", kKeyDelete));
  EXPECT_TRUE(entry.expired());
  EXPECT_TRUE(Store().Scratch().empty());
  EXPECT_EQ(Spoken(), std::vector<std::string>{"17 Removed lantern"});
}

TEST_F(ListItemsTest, InsertOnAVoiceLoadsItAndSaysSoWhateverTheFlags) {
  Facade().setFlags(0);
  CVoiceListItem voice(&Store());
  EXPECT_TRUE(Press(voice, L"no such voice", kKeyInsert));
  EXPECT_EQ(Spoken(), std::vector<std::string>{"17 Voice was loaded."});
}

TEST_F(ListItemsTest, DeletingASaveAsksFirstAndNoKeepsTheFile) {
  const std::string path = DataFile("hall_%9AE38DFE%_.qzl");
  WriteFile(path, "save");
  CSaveListItem save(&Store());
  save.m_pPath = &path;
  AnswerBoxesWith(platform::IDNO);
  EXPECT_FALSE(Press(save, L"hall: Cave Quest", kKeyDelete));
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(boxes, std::vector<std::string>{
                       "Delete Game: Are you sure you want to delete the saved game? Y or N 4"});

  AnswerBoxesWith(platform::IDYES);
  EXPECT_TRUE(Press(save, L"hall: Cave Quest", kKeyDelete));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(LogHas("Deleting save file: " + path));
  EXPECT_EQ(Spoken(), (std::vector<std::string>{
                          "19 Are you sure you want to delete the saved game?  Y or N ",
                          "19 Are you sure you want to delete the saved game?  Y or N ",
                          "19 hall: Cave Quest deleted"}));
  // Already gone: counts as deleted.
  EXPECT_TRUE(Press(save, L"hall: Cave Quest", kKeyDelete));
}

TEST_F(ListItemsTest, ASaveThatCouldNotBeDeletedStaysAndThePlayerIsTold) {
  // A folder in place of the file: unlink fails and the thing stays.
  const std::string path = DataFile("stuck_%9AE38DFE%_.qzl");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  CSaveListItem save(&Store());
  save.m_pPath = &path;
  AnswerBoxesWith(platform::IDYES);
  EXPECT_FALSE(Press(save, L"stuck: Cave Quest", kKeyDelete));
  EXPECT_TRUE(FileExists(path));
  const std::vector<std::string> spoken = Spoken();
  ASSERT_FALSE(spoken.empty());
  EXPECT_EQ(spoken.back(), "19 Could not delete stuck: Cave Quest");
  bool logged = false;
  for (const std::string& line : LogLines()) {
    logged = logged || line.rfind("Could not delete " + path + ": ", 0) == 0;
  }
  EXPECT_TRUE(logged);
}

TEST_F(ListItemsTest, ASaveWithoutAFileLeavesTheListOnYes) {
  CSaveListItem save(&Store());
  AnswerBoxesWith(platform::IDYES);
  Facade().setFlags(0);
  EXPECT_TRUE(Press(save, L"orphan", kKeyDelete));
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
