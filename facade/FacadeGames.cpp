// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's game operations. None of them uses the facade's own state,
// and none throws into the host: a failure (of memory, say) is logged and
// reads as false.
#include <exception>
#include <string>

#include "core/Log.h"
#include "games/GameOperations.h"
#include "games/SaveFile.h"
#include "games/StoryLookup.h"
#include "narro/Narro.h"

namespace {

template <class Operation>
bool LoggedFailure(const char* name, Operation operation) {
  try {
    return operation();
  } catch (const std::exception& e) {
    LogLine("%s failed: %s", name, e.what());
  } catch (...) {
    LogLine("%s failed", name);
  }
  return false;
}

}  // namespace

bool CNarro::GetCRC(const CTTSString& file, CTTSString& crc) {
  std::string text;
  if (!StoryCrcText(static_cast<const char*>(file), text)) return false;
  crc = CTTSString(text);
  return true;
}

// False also when the database could not be written, so that the player
// is never told a game was added when it was not.
bool CNarro::addNewGame(CTTSString& file, CTTSString& name) {
  return LoggedFailure("addNewGame", [&] {
    return AddToUserDatabase(static_cast<const char*>(file), static_cast<const char*>(name));
  });
}

bool CNarro::findGame(const CTTSString& file, CTTSString& name) {
  return LoggedFailure("findGame", [&] {
    std::string found;
    if (!identifyStory(static_cast<const char*>(file), found)) return false;
    name = CTTSString(found);
    return true;
  });
}

bool CNarro::getSaveFile(const CTTSString& story, const CTTSString& name,
                         const char* extension, CTTSString& path) {
  return LoggedFailure("getSaveFile", [&] {
    std::string chosen;
    if (extension == nullptr ||
        !saveFilePath(static_cast<const char*>(story), static_cast<const char*>(name),
                      extension, chosen)) {
      return false;
    }
    path = CTTSString(chosen);
    return true;
  });
}

bool CNarro::OpenUsingShellExecute(char* file, int verb, NarroWindow) {
  return OpenWithShell(file, verb);
}
