// The facade's game operations. None of them uses the facade's own state.
#include <string>

#include "core/Log.h"
#include "games/FileSystem.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"
#include "narro/Narro.h"
#include "platform/shell/Shell.h"

namespace {

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The rewrite keeps only what could be read. A user file that exists but
// could not be read (broken by hand, say) is kept beside the new one under
// another name rather than lost; if it cannot be moved, nothing is written.
bool MakeRoomForRewrite(const std::string& userFile, bool wasRead) {
  if (wasRead || !PathExists(userFile)) return true;
  const std::string keptAs = KeepAside(userFile);
  if (keptAs.empty()) return false;
  LogLine("Kept unreadable %s as %s", userFile, keptAs);
  return true;
}

const char* VerbText(int verb) {
  switch (verb) {
    case 0: return "open";
    case 1: return "edit";
    case 2: return "print";
    default: return "";
  }
}

}  // namespace

bool CNarro::GetCRC(const CTTSString& file, CTTSString& crc) {
  const FileCrc result = fileCRC(static_cast<const char*>(file));
  if (!result.ok) return false;
  crc = CTTSString(crcText(result.crc));
  return true;
}

// Returns false also when the database could not be written, so that the
// player is never told a game was added when it was not.
bool CNarro::addNewGame(CTTSString& file, CTTSString& name) {
  CGameLibrary library;
  const std::string userFile = UserFingerprintFile();
  const bool wasRead = library.readFingerprintFile(userFile);
  if (!library.addGameFile(static_cast<const char*>(file), true,
                           TrimBlanks(static_cast<const char*>(name)))) {
    return false;
  }
  return MakeRoomForRewrite(userFile, wasRead) &&
         library.writeFingerprintFile(userFile.c_str());
}

bool CNarro::OpenUsingShellExecute(char* file, int verb, NarroWindow) {
  if (file == nullptr) return false;
  if (platform::ShellExecuteEx(VerbText(verb), file)) return true;
  const std::string program = platform::FindExecutable(file);
  if (program.empty()) return false;
  return platform::ShellExecute(program, file);
}
