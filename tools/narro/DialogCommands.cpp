// SPDX-License-Identifier: GPL-3.0-or-later
// narro list, narro input, narro choose-folder: every dialog of the
// library, tried by hand at a terminal or driven by NARRO_KEYS.

#include <algorithm>
#include <cstdio>

#include "narro/Narro.h"
#include "platform/file/FileSystem.h"
#include "platform/file/Path.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/MessageBox.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

namespace {

constexpr size_t kMaxTextFile = 16u << 20;

// Says on standard error what a box would have asked, and answers it as
// nobody did: the keys of the player (or of NARRO_KEYS) are for the dialog.
class BoxesOnStandardError : public platform::MessageBoxes {
 public:
  int Show(void*, const std::string& text, const std::string& caption,
           unsigned type) override {
    std::fprintf(stderr, "narro: %s: %s\n", caption.c_str(), text.c_str());
    return platform::GiveUpAnswer(type);
  }
};

// The dialogs speak when there is a voice; without one they still work.
void StartSpeech(CNarro& narro) {
  BoxesOnStandardError quiet;
  platform::ScopedMessageBoxes replaced(quiet);
  narro.InitializeSAPI("", 0, 100);
}

// Prints the answer as its bytes, for the shell to use (a path must name
// the same file); exit status 1 when there is none.
int Answer(const std::string& bytes) {
  if (bytes.empty()) return 1;
  std::printf("%s\n", bytes.c_str());
  return 0;
}

if_list_type ListType(const std::string& name) {
  const char* names[] = {"games", "saves", "voices", "words", "scratch"};
  for (int i = 0; i < 5; ++i) {
    if (name == names[i]) return static_cast<if_list_type>(i);
  }
  throw UsageError("no list called \"" + name + "\" (games, saves, voices, words, scratch)");
}

std::string WorkingFolder() {
  const std::string folder = platform::WorkingFolder();
  return folder.empty() ? "/" : folder;
}

}  // namespace

int RunList(const Arguments& given) {
  Arguments arguments = given;
  std::string games = kDefaultGameEndings;
  std::string saves = kDefaultSaveEndings;
  std::string root;
  TakeOption(arguments, "--games", &games);
  TakeOption(arguments, "--saves", &saves);
  const bool hasRoot = TakeOption(arguments, "--root", &root);
  RejectOptions(arguments);
  if (arguments.empty()) throw UsageError("which list?");
  const if_list_type type = ListType(arguments[0]);
  CNarro& narro = CNarro::GetSingleton();
  for (size_t i = 1; i < arguments.size(); ++i) {
    std::string text;
    if (platform::ReadWholeFile(arguments[i], kMaxTextFile, text) != platform::ReadResult::kRead) {
      std::fprintf(stderr, "narro list: cannot read %s\n", arguments[i].c_str());
      return 1;
    }
    narro.AddToBuffer(CTTSWString(platform::WideFromLocale(text)));
  }
  narro.SetRoot((hasRoot ? root : WorkingFolder()).c_str());
  StartSpeech(narro);
  CTTSWString result;
  narro.getList(result, type, games.c_str(), saves.c_str());
  const std::wstring chosen = static_cast<const wchar_t*>(result);
  // Games, saves and voices come back as the bytes of a path or a voice's
  // name, one character each; words are text, in the locale's encoding.
  const bool words = type == if_list_words || type == if_list_scratch;
  return Answer(words ? platform::LocaleFromWide(chosen) : platform::BytesFromWide(chosen));
}

int RunInput(const Arguments& given) {
  Arguments arguments = given;
  const auto clean = std::find(arguments.begin(), arguments.end(), "--clean");
  const bool cleaned = clean != arguments.end();
  if (cleaned) arguments.erase(clean);
  RejectOptions(arguments);
  if (arguments.size() != 1) throw UsageError("one prompt, please");
  CNarro& narro = CNarro::GetSingleton();
  StartSpeech(narro);
  CTTSWString result;
  narro.getInput(result, arguments[0], cleaned);
  return Answer(platform::LocaleFromWide(static_cast<const wchar_t*>(result)));
}

int RunChooseFolder(const Arguments& arguments) {
  RejectOptions(arguments);
  if (arguments.size() > 1) throw UsageError("at most one start folder");
  CNarro& narro = CNarro::GetSingleton();
  StartSpeech(narro);
  CTTSString result;
  narro.getDirectory(result, arguments.empty() ? WorkingFolder() : arguments[0],
                     "Choose a folder");
  return Answer(static_cast<const char*>(result));
}

}  // namespace narro_tool
