// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/InstallFolder.h"

#include "NarroInstallPaths.h"
#include "player/Files.h"

namespace player {

std::string InstalledShareFolder() {
  const std::string fromProgram = NARRO_BIN_TO_DATADIR;
  if (!fromProgram.empty()) return ExecutableFolder() + "/" + fromProgram + "/narro/";
  const std::string configured = NARRO_INSTALL_DATADIR;
  if (!configured.empty()) return configured + "/narro/";
  return std::string();
}

}  // namespace player
