// SPDX-License-Identifier: GPL-3.0-or-later
// The game's file questions (save, restore, transcripts and data files),
// answered through the library's input dialog and saved-games list, each of
// which Escape cancels; a file that exists is replaced only after a Yes.
#include <unistd.h>

#include <functional>
#include <optional>

#include <narro/Narro.h>

#include "player/CleanText.h"
#include "player/GameFiles.h"
#include "player/Player.h"
#include "player/SmallFiles.h"
#include "player/StoryFiles.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

// What the interpreters add to a name without an ending.
std::string EndingFor(const std::string& fileType) {
  if (fileType == "transcript" || fileType == "command") return ".txt";
  return ".glkdata";
}

std::wstring AskFor(const std::string& fileType) {
  if (fileType == "transcript") return L"Name the transcript file";
  if (fileType == "command") return L"Name the command recording";
  return L"Name the data file";
}

}  // namespace

// Every file the interpreter is given lies in its private folder, whose
// name is plain text; PathForInterpreter keeps it safe all the same.
void Player::AnswerFile(const std::optional<std::string>& path) {
  if (!path) {
    Send(m_session->AnswerFile(std::nullopt));
    return;
  }
  const std::string named = PathForInterpreter(*path, FolderOf(m_story), Interpreter::kFolderFd);
  if (named.empty()) {
    m_voice.Tell(L"The game cannot use that file: its folder's name is not UTF-8 text.");
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
    AnswerFile(LendToGame(path, L"The saved game"));
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

std::optional<std::string> Player::LendToGame(const std::string& path, const std::wstring& what) {
  std::string error;
  const std::string inside = m_files.Lend(path, error);
  if (inside.empty()) {
    m_voice.Tell(what + L" " + platform::WideFromUtf8(BaseName(path)) + L" cannot be read: " +
                 platform::WideFromUtf8(error) + L".");
    return std::nullopt;
  }
  return inside;
}

std::wstring Player::AskFileName(const std::string& prompt) {
  CTTSWString typed;
  m_screen.WithDialog([&] {
    // The input dialog may throw (its speech, memory): then nothing was
    // typed, and the game's question is cancelled rather than left open.
    try {
      m_narro.getInput(typed, prompt, true);
    } catch (...) {
      typed = CTTSWString();
    }
  });
  std::wstring name = Trimmed(static_cast<const wchar_t*>(typed));
  if (name.size() > kFileNameLimit) {
    m_voice.Tell(L"That name is too long: at most " + std::to_wstring(kFileNameLimit) +
                 L" characters. Nothing was written.");
    name.clear();
  }
  return name;
}

void Player::FileToWrite(const std::string& target, const std::wstring& name, bool save, bool append,
                         const std::function<void(const std::string& inside)>& then) {
  bool exists = false;
  const std::string refusal = RefusalToWrite(target, exists);
  if (!refusal.empty()) {
    m_voice.Tell((save ? L"The game cannot be saved as " : L"The file cannot be written as ") +
                 name + L": " + platform::WideFromUtf8(refusal) + L".");
    then(std::string());
    return;
  }
  const auto expect = [this, target, name, save, exists, append, then]() {
    std::string error;
    const std::string inside = m_files.Expect(target, save, exists, append, error);
    if (inside.empty()) {
      m_voice.Tell(L"The file " + name + L" cannot be read: " + platform::WideFromUtf8(error) +
                   L".");
    }
    then(inside);
  };
  if (!exists || append) {
    expect();
    return;
  }
  AskYesNo((save ? L"A saved game called " : L"A file called ") + name + L" exists. Replace it? Yes or No.",
           [this, expect, then](bool yes) {
             if (yes) {
               expect();
               return;
             }
             m_voice.Tell(L"Not replaced.");
             then(std::string());
           });
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
    m_voice.Tell(
        L"The game cannot be saved: the story file cannot be read, or no folder can be written.");
    AnswerFile(std::nullopt);
    return;
  }
  FileToWrite(static_cast<const char*>(path), name, true, false, [this, name](const std::string& inside) {
    // The input dialog says only the words a space ended: the whole name
    // is said back, so that the player knows what to look for in the
    // list. The game's answer queues behind it.
    if (!inside.empty()) m_voice.Tell(L"Saving as " + name + L".");
    AnswerFile(inside.empty() ? std::nullopt : std::optional<std::string>(inside));
  });
}

void Player::RestoreGame() {
  const std::string path = ChooseSave();
  // An empty answer is a cancel; the game says it restored nothing.
  AnswerFile(path.empty() ? std::nullopt : LendToGame(path, L"The saved game"));
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
  // One name in that folder: no folder of its own, no hidden file, nothing
  // a terminal would take for a command.
  for (char& c : file) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
  }
  if (file[0] == '.') file[0] = '_';
  if (file.find('.') == std::string::npos) file += EndingFor(question.fileType);
  if (folder.empty() || folder.back() != '/') folder += '/';
  const std::string target = folder + file;
  if (question.fileMode == "read") {
    bool exists = false;
    RefusalToWrite(target, exists);
    // A file that is not there: the game says it found none.
    AnswerFile(exists ? LendToGame(target, L"The file") : std::nullopt);
    return;
  }
  const bool append = question.fileMode == "writeappend" || question.fileMode == "readwrite";
  FileToWrite(target, platform::WideFromUtf8(file), false, append, [this](const std::string& inside) {
    AnswerFile(inside.empty() ? std::nullopt : std::optional<std::string>(inside));
  });
}

}  // namespace player
