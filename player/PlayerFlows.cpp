// SPDX-License-Identifier: GPL-3.0-or-later
// The game's file questions (save, restore, transcripts and data files),
// answered through the library's dialogs, each of which Escape cancels; and
// the lists of voices, saved games and games.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <narro/Narro.h>

#include "player/InterpreterCommand.h"
#include "player/Player.h"
#include "player/StoryFiles.h"
#include "player/StoryFormat.h"
#include "player/StoryTitle.h"
#include "platform/locale/TextEncoding.h"
#include "player/Utf8Text.h"

namespace player {

namespace {

// The extension of saved games: emglken's interpreters write a save under
// the name they are given, adding this one only to a name that has none.
const char kSaveExtension[] = ".glksave";
// Folders and files a games folder is searched through for stories no
// database knows yet: a games folder, not a whole disk.
constexpr int kStorySearchDepth = 3;
constexpr size_t kStorySearchFiles = 5000;
// How long a story may take to show its banner when only its title is
// wanted.
constexpr std::chrono::milliseconds kTitleLimit{3000};
// Past this many new stories at once, the rest are named by their metadata
// or their file name, and their banner names them when first played.
constexpr size_t kTitleReads = 30;

// The library's paths are bytes, one per character (its narrow/wide rule):
// narrowed back the same way they must open the same file.
std::string PathOf(const CTTSWString& chosen) { return static_cast<const char*>(CTTSString(chosen)); }

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

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

std::wstring AskFor(const std::string& fileType) {
  if (fileType == "transcript") return L"Name the transcript file";
  if (fileType == "command") return L"Name the command recording";
  return L"Name the data file";
}

}  // namespace

// The interpreter runs in the story's folder: a file there is named from
// it when its whole path cannot be.
void Player::AnswerFile(const std::optional<std::string>& path) {
  if (!path) {
    Send(m_session->AnswerFile(std::nullopt));
    return;
  }
  const std::string named = PathForInterpreter(*path, FolderOf(m_story), Interpreter::kFolderFd);
  if (named.empty()) {
    Say(L"The game cannot use that file: its folder's name is not UTF-8 text.");
    Send(m_session->AnswerFile(std::nullopt));
    return;
  }
  Send(m_session->AnswerFile(named));
}

void Player::OnFileQuestion() {
  const GlkSpecialInput question = *m_session->SpecialInput();
  if (question.type != "fileref_prompt") {
    // A question this player does not know: cancelled, so the game goes on.
    AnswerFile(std::nullopt);
    return;
  }
  if (!m_pendingRestore.empty() && question.fileMode == "read") {
    const std::string path = m_pendingRestore;
    m_pendingRestore.clear();
    AnswerFile(path);
    return;
  }
  m_pendingRestore.clear();
  if (question.fileType == "save") {
    if (question.fileMode == "read") RestoreGame();
    else SaveGame();
    return;
  }
  NameOtherFile(question);
}

std::wstring Player::AskFileName(const std::string& prompt) {
  CTTSWString typed;
  WithDialog([&] {
    // The input dialog may throw (its speech, memory): then nothing was
    // typed, and the game's question is cancelled rather than left open.
    try {
      m_narro.getInput(typed, prompt, true);
    } catch (...) {
      typed = CTTSWString();
    }
  });
  return Trimmed(static_cast<const wchar_t*>(typed));
}

void Player::SaveGame() {
  const std::wstring name = AskFileName("Save the game as");
  if (name.empty()) {
    // The game says that nothing was saved, in its own words.
    AnswerFile(std::nullopt);
    return;
  }
  CTTSString path;
  if (!m_narro.getSaveFile(CTTSString(m_story), CTTSString(platform::Utf8FromWide(name)), kSaveExtension, path)) {
    Say(L"The game cannot be saved: the story file cannot be read, or no folder can be written.");
    AnswerFile(std::nullopt);
    return;
  }
  const std::string file = static_cast<const char*>(path);
  if (Exists(file) &&
      !AskYesNo(L"A saved game called " + name + L" exists. Replace it? Yes or No.")) {
    Say(L"Not replaced.");
    AnswerFile(std::nullopt);
    return;
  }
  AnswerFile(file);
}

void Player::RestoreGame() {
  const std::string path = ChooseSave();
  // An empty answer is a cancel; the game says it restored nothing.
  AnswerFile(path.empty() ? std::nullopt : std::optional<std::string>(path));
}

void Player::NameOtherFile(const GlkSpecialInput& question) {
  const std::wstring name = AskFileName(platform::Utf8FromWide(AskFor(question.fileType)));
  if (name.empty()) {
    AnswerFile(std::nullopt);
    return;
  }
  std::string folder = FolderOf(m_story);
  if (access(folder.c_str(), W_OK | X_OK) != 0) folder = m_dataFolder;
  std::string file = platform::Utf8FromWide(name);
  for (char& c : file) {
    if (c == '/') c = '_';
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  AnswerFile(folder + file);
}

std::string Player::ChooseSave() {
  CTTSWString chosen;
  WithDialog([&] { m_narro.getSaves(chosen, CTTSString(m_story), kSaveExtension); });
  return PathOf(chosen);
}

void Player::ChooseSaveToRestore() {
  if (!m_session || !m_session->LineInput() || m_session->Busy()) {
    Say(L"A saved game can be restored when the game waits for a command.");
    return;
  }
  const std::string path = ChooseSave();
  if (path.empty()) {
    Say(L"Not restored.");
    return;
  }
  // The game's own restore command asks for the file; the chosen one is
  // the answer.
  m_pendingRestore = path;
  m_editor.Enter();
  m_editor.Insert(L"restore");
  SendCommand();
}

void Player::ChooseVoice() {
  if (!m_speechReady) {
    Show(L"[Speech is not running: there are no voices to choose.]\n");
    return;
  }
  std::string before;
  long rate = m_settings.rate;
  int volume = m_settings.volume;
  m_narro.GetVoice(before, rate, volume);
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, if_list_voices, "", ""); });
  std::string id = before;
  m_narro.GetVoice(id, rate, volume);
  if (id == before) {
    Say(L"The voice stays as it was.");
    return;
  }
  m_settings.voiceId = m_setup.stored.voiceId = id;
  Say(L"Voice " + platform::WideFromUtf8(PathOf(chosen)) + L".");
  KeepSettings();
}

void Player::AddUnknownStories(const std::string& folder) {
  std::vector<std::string> stories;
  FindStories(folder, kStorySearchDepth, stories);
  std::vector<std::string> unknown;
  for (const std::string& story : stories) {
    CTTSString name;
    if (m_narro.findGame(CTTSString(story), name)) continue;
    if (IdentifyStory(story).format != StoryFormat::kUnknown) unknown.push_back(story);
  }
  if (unknown.empty()) return;
  // Each is started once, for the title its banner shows: a second or so
  // each, so the player hears why the list takes a while.
  const size_t reads = std::min(unknown.size(), kTitleReads);
  if (reads > 1) Say(L"Reading the titles of " + std::to_wstring(reads) + L" new stories.");
  for (size_t i = 0; i < unknown.size(); ++i) {
    CTTSString file(unknown[i]);
    const auto limit = i < kTitleReads ? kTitleLimit : std::chrono::milliseconds(0);
    CTTSString title(platform::Utf8FromWide(StoryTitle(m_settings.interpreter, unknown[i], limit)));
    m_narro.addNewGame(file, title);
  }
}

void Player::ChooseGame() {
  const std::string start = m_settings.gamesFolder.empty() ? FolderOf(m_story) : m_settings.gamesFolder;
  AddUnknownStories(start);
  m_narro.SetRoot(start.c_str());
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, if_list_games, kStoryExtensions, kSaveExtension); });
  const std::string path = PathOf(chosen);
  if (path.empty()) {
    Say(L"The game goes on.");
    return;
  }
  m_settings.gamesFolder = m_setup.stored.gamesFolder = FolderOf(path);
  KeepSettings();
  CTTSString known;
  const std::wstring name = m_narro.findGame(CTTSString(path), known)
                                ? platform::WideFromUtf8(static_cast<const char*>(known))
                                : platform::WideFromUtf8(StemOf(path));
  if (!AskYesNo(L"End this game and start " + name + L"? Yes or No.")) {
    Say(L"The game goes on.");
    return;
  }
  // A story that cannot be started leaves the game being played as it is.
  std::vector<std::string> argv;
  std::string error;
  if (!InterpreterCommand(m_settings.interpreter, VmFor(IdentifyStory(path).format), path, argv,
                          error)) {
    Say(platform::WideFromUtf8(error) + L". The game goes on.");
    return;
  }
  m_interpreter.Stop();
  EraseInputArea();
  Show(L"\n[Starting " + platform::WideFromUtf8(path) + L"]\n");
  Say(L"Starting " + name + L".");
  StartGame(path);
}

}  // namespace player
