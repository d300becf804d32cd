// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/FileQuestions.h"

#include <unistd.h>

#include <functional>
#include <optional>

#include <narro/Narro.h>

#include "player/CleanText.h"
#include "player/GameFiles.h"
#include "player/Interpreter.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
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
void FileQuestions::AnswerFile(const std::optional<std::string>& path) {
  if (!path) {
    m_game.SendFileAnswer(std::nullopt);
    return;
  }
  const std::string named =
      PathForInterpreter(*path, FolderOf(m_game.Story()), Interpreter::kFolderFd);
  if (named.empty()) {
    m_voice.Tell(L"The game cannot use that file: its folder's name is not UTF-8 text.");
    m_game.SendFileAnswer(std::nullopt);
    return;
  }
  m_game.SendFileAnswer(named);
}

void FileQuestions::Answer(GlkSpecialInput question) {
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

std::optional<std::string> FileQuestions::LendToGame(const std::string& path,
                                                     const std::wstring& what) {
  std::string error;
  const std::string inside = m_files.Lend(path, error);
  if (inside.empty()) {
    m_voice.Tell(what + L" " + platform::WideFromUtf8(BaseName(path)) + L" cannot be read: " +
                 platform::WideFromUtf8(error) + L".");
    return std::nullopt;
  }
  return inside;
}

std::wstring FileQuestions::AskFileName(const std::string& prompt) {
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

void FileQuestions::FileToWrite(const std::string& target, const std::wstring& name, bool save,
                                bool append,
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
  m_game.Ask((save ? L"A saved game called " : L"A file called ") + name +
                 L" exists. Replace it? Yes or No.",
             [this, expect, then](bool yes) {
               if (yes) {
                 expect();
                 return;
               }
               m_voice.Tell(L"Not replaced.");
               then(std::string());
             });
}

void FileQuestions::SaveGame() {
  const std::wstring name = AskFileName("Save the game as");
  if (name.empty()) {
    // The game says that nothing was saved, in its own words.
    AnswerFile(std::nullopt);
    return;
  }
  CTTSString path;
  if (!m_narro.getSaveFile(CTTSString(m_game.Story()), CTTSString(platform::Utf8FromWide(name)),
                           kSaveExtension, path)) {
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

void FileQuestions::RestoreGame() {
  const std::string path = m_game.ChooseSave();
  // An empty answer is a cancel; the game says it restored nothing.
  AnswerFile(path.empty() ? std::nullopt : LendToGame(path, L"The saved game"));
}

void FileQuestions::NameOtherFile(const GlkSpecialInput& question) {
  const std::wstring name = AskFileName(platform::Utf8FromWide(AskFor(question.fileType)));
  if (name.empty()) {
    AnswerFile(std::nullopt);
    return;
  }
  std::string folder = FolderOf(m_game.Story());
  if (access(folder.c_str(), W_OK | X_OK) != 0) folder = m_game.DataFolder();
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
