// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/InstallFolder.h"

#include "NarroInstallPaths.h"
#include "player/SmallFiles.h"

namespace player {

bool RunningFromBuildTree() {
  const std::string tree = std::string(NARRO_BUILD_TREE) + "/";
  const std::string here = ExecutableFolder() + "/";
  return here.compare(0, tree.size(), tree) == 0;
}

std::string InstalledShareFolder() {
  const std::string fromProgram = NARRO_BIN_TO_DATADIR;
  if (!fromProgram.empty()) return ExecutableFolder() + "/" + fromProgram + "/narro/";
  const std::string configured = NARRO_INSTALL_DATADIR;
  if (!configured.empty()) return configured + "/narro/";
  return std::string();
}

std::string HelperProgramFolder() {
  if (RunningFromBuildTree()) return std::string(NARRO_BUILD_TREE) + "/interpreters/";
  const std::string fromProgram = NARRO_BIN_TO_LIBEXECDIR;
  if (!fromProgram.empty()) return ExecutableFolder() + "/" + fromProgram + "/narro/";
  const std::string configured = NARRO_INSTALL_LIBEXECDIR;
  if (!configured.empty()) return configured + "/narro/";
  return std::string();
}

}  // namespace player
