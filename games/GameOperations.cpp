// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/GameOperations.h"

#include <memory>
#include <string>

#include "core/Log.h"
#include "platform/file/FileSystem.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"
#include "games/SaveFile.h"
#include "games/StoryLookup.h"
#include "platform/shell/Shell.h"

namespace {

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Another addNewGame (in this process or another) waits at most this long
// for the user database; past it the game is not added rather than the
// host hanging.
constexpr int kUserDatabaseLockMs = 10000;

// The user database is read whole, so it has the same bound as the others.
constexpr size_t kMaxDatabaseBytes = 64u << 20;

const char* VerbText(int verb) {
  switch (verb) {
    case 0: return "open";
    case 1: return "edit";
    case 2: return "print";
    default: return "";
  }
}

}  // namespace

bool StoryCrcText(const std::string& file, std::string& crc) {
  const FileCrc result = fileCRC(file);
  if (!result.ok) return false;
  crc = crcText(result.crc);
  return true;
}

namespace {

// The read-modify-write of the user database, under a lock held from the
// read to the rename, so that every record added by concurrent callers is
// kept. A file that exists but could not be read (a folder, a pipe, a file
// too large or not readable) is never replaced. One that was read but does
// not parse (broken by hand, say) is kept beside the new one under another
// name rather than lost; if it cannot be moved, nothing is written.
bool AddToUserDatabaseLocked(const std::string& file, const std::string& name) {
  platform::FileSystem& fs = platform::Current<platform::FileSystem>();
  const std::string userFile = UserFingerprintFile();
  const std::unique_ptr<platform::FileLock> lock =
      fs.LockExclusive(userFile + ".lock", kUserDatabaseLockMs);
  if (!lock) {
    LogLine("Could not lock %s", userFile);
    return false;
  }
  CGameLibrary library;
  std::string text;
  const platform::ReadResult read =
      platform::ReadWholeFile(userFile, kMaxDatabaseBytes, text);
  if (read == platform::ReadResult::kUnreadable) {
    LogLine("Could not read %s", userFile);
    return false;
  }
  const bool parsed = read == platform::ReadResult::kRead &&
                      library.readFingerprintText(userFile, text);
  if (!library.addGameFile(file, true, name)) return false;
  if (read == platform::ReadResult::kRead && !parsed) {
    const std::string keptAs = platform::KeepAside(userFile);
    if (keptAs.empty()) return false;
    LogLine("Kept unreadable %s as %s", userFile, keptAs);
  }
  return library.writeFingerprintFile(userFile.c_str());
}

}  // namespace

bool AddToUserDatabase(const std::string& file, const std::string& name) {
  return AddToUserDatabaseLocked(file, TrimBlanks(name));
}

bool OpenWithShell(const char* file, int verb) {
  if (file == nullptr) return false;
  if (platform::ShellExecuteEx(VerbText(verb), file)) return true;
  const std::string program = platform::FindExecutable(file);
  if (program.empty()) return false;
  return platform::ShellExecute(VerbText(verb), program, file);
}
