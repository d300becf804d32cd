// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ListDriver.h"

#include <boost/shared_ptr.hpp>
#include <map>
#include <string>
#include <memory>
#include <vector>

#include "core/AppDirectory.h"
#include "core/Log.h"
#include "dialogs/DialogSpeech.h"
#include "dialogs/ListItems.h"
#include "dialogs/SelectDlg.h"
#include "games/GameLibrary.h"
#include "games/SaveFile.h"
#include "games/StoryLookup.h"
#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/MessageBox.h"
#include "speech/SpeechTTS.h"
#include "text/DialogHost.h"
#include "text/TextStore.h"

namespace {

constexpr uint32_t kConfirmFlags = FLAG_SPEECH | FLAG_DIALOG_SPEECH;

using EntryMap = std::map<std::wstring, boost::shared_ptr<CListItem>>;

struct ListText {
  const char* title;
  const char* instructions;
};

const ListText kTexts[] = {
    {"Supported Games",
     "Use up and down arrow keys to navigate, enter to load a game, escape to exit. You may "
     "also use the first letter of a game to skip ahead. "},
    {"Saved Games",
     "Use up and down arrow keys to navigate, enter to load a game, delete to delete a game, "
     "escape to exit. You may also use the first letter of a game to skip ahead. "},
    {"Installed voices",
     "Use up and down arrow keys to navigate, insert to hear a voice, enter to change a voice, "
     "escape to exit. You may also use the first letter of a voice to skip ahead. "},
    {"Word List", "Hit space to hear a word spelled. Hit insert to add it to your scratch list. "},
    {"Scratch List", "Hit space to hear a word spelled. Hit delete to remove it from the list. "},
};

void Label(CSelectDlg& dialog, if_list_type type) {
  dialog.m_title = kTexts[type].title;
  dialog.m_instructions = kTexts[type].instructions;
}

template <class Map>
void MoveInto(CSelectDlg& dialog, const Map& entries) {
  for (const auto& [text, entry] : entries) dialog.m_items[text] = entry.get();
}

platform::HWND ActiveWindow() { return platform::Dialog::Active(); }

// Every save of one story names the same game: its entry is the save's
// own name.
std::string WithoutEnding(const std::string& text, const std::string& ending) {
  if (ending.empty() || text.size() <= ending.size() ||
      text.compare(text.size() - ending.size(), ending.size(), ending) != 0) {
    return text;
  }
  return text.substr(0, text.size() - ending.size());
}

// The entries of one list, by the name the player hears. A name is bytes,
// heard as the locale decodes it; two names whose bytes differ may decode
// alike (one written in Latin-1, the same in UTF-8), and then the later is
// numbered, " (2)", so that neither hides the other. The same bytes twice
// still make one entry.
class ListEntries {
 public:
  // Takes the entry as made, so that it is deleted as what it is.
  template <class Item>
  void Add(const std::string& name, Item* entry) {
    const boost::shared_ptr<CListItem> owned(entry);
    const std::wstring heard = platform::WideFromLocale(name);
    std::wstring key = heard;
    for (int number = 2;; ++number) {
      const auto taken = m_names.find(key);
      if (taken == m_names.end() || taken->second == name) break;
      key = heard + L" (" + std::to_wstring(number) + L")";
    }
    m_names[key] = name;
    m_entries[key] = owned;
  }
  const EntryMap& Entries() const { return m_entries; }

 private:
  EntryMap m_entries;
  std::map<std::wstring, std::string> m_names;
};

class CListDriver {
 public:
  CListDriver(const ListContext& context, const char* gameExts, const char* saveExts)
      : m_host(context.host),
        m_store(context.store),
        m_engine(context.engine),
        m_root(context.root),
        m_gameExts(gameExts != nullptr ? gameExts : ""),
        m_saveExts(saveExts != nullptr ? saveExts : "") {}

  std::wstring Words(if_list_type type) {
    if (m_store == nullptr) return std::wstring();
    CSelectDlg dialog;
    if (type == if_list_words) {
      MoveInto(dialog, m_store->Words());
    } else {
      MoveInto(dialog, m_store->Scratch());
    }
    Label(dialog, type);
    dialog.DoModal(ActiveWindow());
    return dialog.m_selectedText;
  }

  std::wstring Voices() {
    if (m_engine == nullptr) return std::wstring();
    const std::string savedId = m_engine->VoiceId();
    // The entries point at these names: a copy, which trying a voice
    // cannot change under them.
    const std::vector<VoiceEntry> voices = m_engine->Voices();
    ListEntries entries;
    CSelectDlg dialog;
    Label(dialog, if_list_voices);
    for (const VoiceEntry& voice : voices) {
      auto* entry = new CVoiceListItem(Store());
      entry->m_pPath = &voice.name;
      entries.Add(voice.name, entry);
    }
    MoveInto(dialog, entries.Entries());
    if (dialog.DoModal(ActiveWindow()) == platform::IDOK) {
      m_engine->ChooseVoiceNamed(dialog.m_selectedPath, 0, 100);
      return platform::WideFromBytes(dialog.m_selectedPath);
    }
    // Escape undoes whatever voice the player tried with Insert.
    m_engine->SetVoiceId(savedId);
    return platform::WideFromBytes(savedId);
  }

  std::wstring Saves() {
    CGameLibrary library;
    CSelectDlg dialog;
    library.setExtensions(m_gameExts.c_str(), m_saveExts.c_str());
    Label(dialog, if_list_saves);
    const std::string chosen = AskForFolder("Choose a directory to scan for saved games");
    if (chosen.empty()) return std::wstring();
    library.loadFingerprints(nullptr, 0);
    library.scanGames(chosen.c_str(), nullptr, false);
    GameSet saves;
    library.scanSaves(saves, chosen);
    ListEntries entries;
    for (const GamePtr& save : saves) {
      if (!save->found) continue;
      auto* entry = new CSaveListItem(Store());
      entry->m_pPath = &save->fn;
      entries.Add(save->FullName, entry);
    }
    MoveInto(dialog, entries.Entries());
    dialog.DoModal(ActiveWindow());
    return platform::WideFromBytes(dialog.m_selectedPath);
  }

  // The saves are looked for where saveFilePath puts them, and tied to
  // the story by scanSaves itself, so that they are the saves the
  // saved-games list would tie to it. Only the story's record is in the
  // catalogue: a save of another game never shows.
  std::wstring StorySaves(const std::string& story) {
    CGameLibrary library;
    CSelectDlg dialog;
    library.setExtensions(m_gameExts.c_str(), m_saveExts.c_str());
    Label(dialog, if_list_saves);
    GameSet saves;
    const GamePtr game = storyRecord(library, story);
    if (game) {
      library.catalogue.clear();
      library.catalogue.insert(game);
      const std::string own = storyFolder(story);
      library.scanSaves(saves, own);
      if (dataSavesFolder() != own) library.scanSaves(saves, dataSavesFolder());
    } else {
      // Nothing can be tied to a story that cannot be read; its folder,
      // which may be anything, is not walked.
      LogLine("Found [%1%] saves.", 0);
    }
    ListEntries entries;
    const std::string ofGame = game ? ": " + game->FullName : std::string();
    for (const GamePtr& save : saves) {
      if (!save->found) continue;
      auto* entry = new CSaveListItem(Store());
      entry->m_pPath = &save->fn;
      entry->m_namesSave = true;
      entries.Add(WithoutEnding(save->FullName, ofGame), entry);
    }
    MoveInto(dialog, entries.Entries());
    dialog.m_heardBeforeChosen = true;
    dialog.DoModal(ActiveWindow());
    return platform::WideFromBytes(dialog.m_selectedPath);
  }

  std::wstring Games() {
    for (;;) {
      if (m_root.empty()) m_root = GetAppDirectory();
      LogLine("%s %s", "Looking for Games ", m_root);
      const std::string chosen = AskForFolder("Choose a directory to scan for games");
      if (chosen.empty()) return std::wstring();
      LogLine("Choose %s", chosen);
      bool again = false;
      const std::wstring result = GamesIn(chosen, false, again);
      if (!again) return result;
    }
  }

  // The games list of a folder the host knows, with no folder chosen:
  // Retry at a warning shows the same folder's list again.
  std::wstring FolderGames(const std::string& folder) {
    for (;;) {
      LogLine("%s %s", "Looking for Games ", folder);
      bool again = false;
      const std::wstring result = GamesIn(folder, true, again);
      if (!again) return result;
    }
  }

 private:
  CTextStore* Store() { return m_store; }

  // Shows the games found under folder and handles a chosen game's
  // warning; again: the player asked to choose again (Retry).
  std::wstring GamesIn(const std::string& folder, bool heardFirst, bool& again) {
    again = false;
    CGameLibrary library;
    CSelectDlg dialog;
    library.setExtensions(m_gameExts.c_str(), m_saveExts.c_str());
    Label(dialog, if_list_games);
    library.loadFingerprints(nullptr, 0);
    library.scanGames(folder.c_str(), nullptr, false);
    ListEntries entries;
    for (const GamePtr& game : library.catalogue) {
      if (!game->found) continue;
      auto* entry = new CGameListItem(Store());
      entry->m_pPath = &game->fn;
      entry->m_pWarning = &game->warn;
      entries.Add(game->FullName, entry);
    }
    MoveInto(dialog, entries.Entries());
    dialog.m_heardBeforeChosen = heardFirst;
    LogLine("%1%", "About to show Game \n\nDialog...");
    dialog.DoModal(ActiveWindow());
    CListItem* chosenItem = dialog.m_selectedItem;
    if (chosenItem != nullptr && chosenItem->m_pWarning != nullptr &&
        !chosenItem->m_pWarning->empty()) {
      const std::string message =
          *chosenItem->m_pWarning + " R, to choose again, A, to abort. I, to continue.";
      if (m_host.checkFlags(kConfirmFlags)) m_host.Speak(message, SPEAK_CUT_OFF);
      const int answer = platform::MessageBox(ActiveWindow(), message, "Load Game",
                                              platform::MB_ABORTRETRYIGNORE | platform::MB_ICONQUESTION);
      m_host.Speak(std::string(), SPEAK_SILENCE);
      if (answer == platform::IDABORT) return std::wstring();
      if (answer == platform::IDRETRY) {
        again = true;
        return std::wstring();
      }
    }
    LogLine("%1%", "Finished showing Game Dialog...");
    const std::wstring result = platform::WideFromBytes(dialog.m_selectedPath);
    if (chosenItem != nullptr) {
      m_host.DebugLine(chosenItem->m_pWarning != nullptr ? *chosenItem->m_pWarning : "");
    }
    return result;
  }

  // Says where the chooser starts, lets the player choose, and silences
  // what was being said; empty when the player cancelled.
  std::string AskForFolder(const char* title) {
    if (m_host.checkFlags(kConfirmFlags)) m_host.SpeakDir(m_root, SPEAK_CUT_OFF);
    const std::string folder = m_host.ChooseFolder(m_root, title);
    CSpeechTTS::StopSpeaking();
    return folder;
  }

  CDialogHost& m_host;
  CTextStore* const m_store;
  CSpeechTTS* const m_engine;
  std::string& m_root;
  const std::string m_gameExts;
  const std::string m_saveExts;
};

}  // namespace

std::wstring ShowList(const ListContext& context, if_list_type type, const char* gameExts,
                      const char* saveExts) {
  CSpokenDialogs spoken;
  CListDriver driver(context, gameExts, saveExts);
  switch (type) {
    case if_list_games:
      return driver.Games();
    case if_list_saves:
      return driver.Saves();
    case if_list_voices:
      return driver.Voices();
    case if_list_words:
    case if_list_scratch:
      return driver.Words(type);
    default:
      return std::wstring();
  }
}

std::wstring ShowStorySaves(const ListContext& context, const std::string& story,
                            const char* saveExts) {
  CSpokenDialogs spoken;
  CListDriver driver(context, "", saveExts);
  return driver.StorySaves(story);
}

std::wstring ShowFolderGames(const ListContext& context, const std::string& folder,
                             const char* gameExts, const char* saveExts) {
  CSpokenDialogs spoken;
  CListDriver driver(context, gameExts, saveExts);
  return driver.FolderGames(folder);
}
