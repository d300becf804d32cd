// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameLists.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <narro/Narro.h>

#include "player/FileQuestions.h"
#include "player/InterpreterCommand.h"
#include "player/KeyDecoder.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
#include "player/Settings.h"
#include "player/SmallFiles.h"
#include "player/StoryFiles.h"
#include "player/StoryFormat.h"
#include "player/TitleReader.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

// Folders and files a games folder is searched through for stories no
// database knows yet: a games folder, not a whole disk.
constexpr int kStorySearchDepth = 3;
constexpr size_t kStorySearchFiles = 5000;
// How often the progress of reading titles is said.
constexpr std::chrono::seconds kProgressEvery{2};
// The player's database is rewritten whole by the library; a file larger
// than this is no database of one player's stories.
constexpr size_t kLargestUserDatabase = 64u << 20;

// The library's paths are bytes, one per character (its narrow/wide rule):
// narrowed back the same way they must open the same file.
std::string PathOf(const CTTSWString& chosen) { return static_cast<const char*>(CTTSString(chosen)); }

bool HasStoryExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = name.substr(dot);
  const std::string list = std::string(",") + kStoryExtensions + ",";
  return list.find("," + extension + ",") != std::string::npos;
}

void FindStories(const std::string& folder, int depth, std::vector<std::string>& found) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const struct dirent* entry = readdir(dir)) {
    if (found.size() >= kStorySearchFiles) break;
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
    struct stat info {};
    // lstat: a link to a folder could lead round in a circle.
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      if (depth > 0) FindStories(path, depth - 1, found);
    } else if (S_ISREG(info.st_mode) && HasStoryExtension(name)) {
      found.push_back(path);
    }
  }
  closedir(dir);
}

}  // namespace

std::string GameLists::ChooseSave() {
  CTTSWString chosen;
  m_screen.WithDialog(
      [&] { m_narro.getSaves(chosen, CTTSString(m_game.Story()), FileQuestions::kSaveExtension); });
  return PathOf(chosen);
}

void GameLists::ChooseSaveToRestore() {
  if (!m_game.WaitsForCommand()) {
    m_voice.Tell(L"A saved game can be restored when the game waits for a command.");
    return;
  }
  const std::string path = ChooseSave();
  if (path.empty()) {
    m_voice.Tell(L"Not restored.");
    return;
  }
  // The game's own restore command asks for the file; the chosen one is
  // the answer.
  m_files.RestoreNext(path);
  m_game.EnterCommand(L"restore");
}

void GameLists::ChooseVoice() {
  if (!m_voice.Ready()) {
    m_voice.Show(L"[Speech is not running: there are no voices to choose.]\n");
    return;
  }
  std::string before;
  long rate = m_settings.rate;
  int volume = m_settings.volume;
  m_narro.GetVoice(before, rate, volume);
  CTTSWString chosen;
  m_screen.WithDialog([&] { m_narro.getList(chosen, if_list_voices, "", ""); });
  std::string id = before;
  m_narro.GetVoice(id, rate, volume);
  if (id == before) {
    m_voice.Tell(L"The voice stays as it was.");
    return;
  }
  m_settings.voiceId = m_stored.voiceId = id;
  m_voice.Tell(L"Voice " + platform::WideFromUtf8(PathOf(chosen)) + L".");
  m_game.KeepSettings();
}

void GameLists::AddUnknownStories(const std::string& folder) {
  std::vector<std::string> stories;
  FindStories(folder, kStorySearchDepth, stories);
  std::vector<std::string> unknown;
  std::vector<std::wstring> titles;
  std::vector<std::string> toRead;
  std::vector<std::wstring> standIns;
  for (const std::string& story : stories) {
    std::wstring standIn;
    if (KnownStoryName(story, standIn)) continue;
    const StoryInfo info = IdentifyStory(story);
    if (info.format == StoryFormat::kUnknown) continue;
    unknown.push_back(story);
    standIns.push_back(standIn);
    // Metadata names a story without running it.
    titles.push_back(info.title);
    if (info.title.empty()) toRead.push_back(story);
  }
  if (unknown.empty()) return;
  std::vector<std::wstring> read;
  if (!toRead.empty()) {
    const std::wstring of = L" of " + std::to_wstring(toRead.size()) + L".";
    if (toRead.size() > 1) m_voice.Tell(L"Reading titles: 0" + of + L" Escape stops.");
    auto lastSaid = std::chrono::steady_clock::now();
    bool stopped = false;
    TitleReader reader(m_settings.interpreter, TitleReader::Limits());
    read = reader.Read(toRead, STDIN_FILENO, [&](size_t done, bool ready) {
      if (ready) {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) m_keys.Feed(std::string(buffer, static_cast<size_t>(n)));
        // Escape alone, or Ctrl-C: the rest are named by their files.
        std::optional<Key> key;
        while ((key = m_keys.Next()) || (key = m_keys.Flush())) {
          if (key->code == KeyCode::kEscape || key->code == KeyCode::kCtrlC) stopped = true;
        }
      }
      const auto now = std::chrono::steady_clock::now();
      if (!stopped && toRead.size() > 1 && now - lastSaid >= kProgressEvery) {
        lastSaid = now;
        m_voice.Tell(L"Reading titles: " + std::to_wstring(done) + of);
      }
      return !stopped;
    });
    if (stopped) m_voice.Tell(L"Stopped: the other stories are named by their files.");
  }
  for (size_t i = 0, r = 0; i < unknown.size(); ++i) {
    std::wstring title = titles[i];
    if (title.empty() && r < read.size()) title = read[r++];
    if (title.empty()) title = platform::WideFromUtf8(StemOf(unknown[i]));
    if (title == standIns[i]) continue;
    CTTSString file(unknown[i]);
    CTTSString name(platform::Utf8FromWide(title));
    m_narro.addNewGame(file, name);
  }
}

void GameLists::ChooseGame(bool chooseFolder) {
  // A games folder chosen before is where the player's games are: its list
  // opens at once. The folder chooser comes first for another folder, or
  // when none is known (or it is gone), starting where the story is.
  struct stat info {};
  const bool haveFolder = !m_settings.gamesFolder.empty() && stat(m_settings.gamesFolder.c_str(), &info) == 0 &&
                          S_ISDIR(info.st_mode);
  const std::string start = haveFolder ? m_settings.gamesFolder : FolderOf(m_game.Story());
  AddUnknownStories(start);
  CTTSWString chosen;
  if (chooseFolder || !haveFolder) {
    m_narro.SetRoot(start.c_str());
    m_screen.WithDialog([&] {
      m_narro.getList(chosen, if_list_games, kStoryExtensions, FileQuestions::kSaveExtension);
    });
  } else {
    m_screen.WithDialog([&] {
      m_narro.getGames(chosen, CTTSString(start), kStoryExtensions, FileQuestions::kSaveExtension);
    });
  }
  const std::string path = PathOf(chosen);
  if (path.empty()) {
    m_voice.Tell(L"The game goes on.");
    return;
  }
  m_settings.gamesFolder = m_stored.gamesFolder = FolderOf(path);
  m_game.KeepSettings();
  CTTSString known;
  const std::wstring name = m_narro.findGame(CTTSString(path), known)
                                ? platform::WideFromUtf8(static_cast<const char*>(known))
                                : platform::WideFromUtf8(StemOf(path));
  // Switching ends the game being played without saving it: the player
  // is told what is lost before saying Yes.
  const std::wstring& storyName = m_game.StoryName();
  const std::wstring playing = storyName.empty() ? std::wstring(L"this game") : storyName;
  m_game.Ask(L"End " + playing + L" and start " + name + L"? Unsaved progress in " + playing +
                 L" is lost. Yes or No.",
             [this, path, name](bool yes) {
               if (yes) {
                 SwitchGame(path, name);
               } else {
                 m_voice.Tell(L"The game goes on.");
               }
             });
}

void GameLists::SwitchGame(const std::string& path, const std::wstring& name) {
  // A story that cannot be started leaves the game being played as it is.
  std::vector<std::string> argv;
  std::string error;
  if (!InterpreterCommand(m_settings.interpreter, VmFor(IdentifyStory(path).format), path, argv,
                          error)) {
    m_voice.Tell(platform::WideFromUtf8(error) + L". The game goes on.");
    return;
  }
  m_game.EndGame();
  m_screen.EraseInputArea();
  m_voice.Show(L"\n[Starting " + platform::WideFromUtf8(path) + L"]\n");
  m_voice.Say(L"Starting " + name + L".");
  m_game.StartStory(path);
}

bool GameLists::KnownStoryName(const std::string& story, std::wstring& name) {
  name.clear();
  CTTSString known;
  if (!m_narro.findGame(CTTSString(story), known)) return false;
  name = platform::WideFromUtf8(static_cast<const char*>(known));
  if (!IsStandInName(name, story)) return true;
  // Only a name of the player's database is the player's: the shipped one
  // is read first and wins, and is never corrected.
  CTTSString crc;
  std::string xml, what, stored;
  bool missing = false;
  std::string folder = m_game.DataFolder();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  if (!m_narro.GetCRC(CTTSString(story), crc) ||
      !ReadSmallFile(folder + "User_Fingerprints.xml", kLargestUserDatabase, xml, what, missing) ||
      !StoredName(xml, static_cast<const char*>(crc), stored) ||
      platform::WideFromUtf8(stored) != name) {
    return true;
  }
  return !m_standInsOffered.insert(story).second;
}

}  // namespace player
