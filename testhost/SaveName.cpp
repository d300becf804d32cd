// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhost/SaveName.h"

const char kSaveTestTag[] = "_%BF60EF9D%_";

std::string SaveTestFileName(const std::string& typed) {
  std::string name = typed + kSaveTestTag;
  // ".sav" counts only where the typed name ends (its last four
  // characters), so a typed "game.sav" keeps it and gets no second one.
  const long from = static_cast<long>(typed.size()) - 4;
  if (name.find(".sav", from > 0 ? static_cast<size_t>(from) : 0) == std::string::npos) {
    name += ".sav";
  }
  return name;
}

std::string OverwriteQuestion(const std::string& fileName) {
  return fileName + " already exists, do you want to overwrite? Y or N, or escape to cancel.";
}
