// SPDX-License-Identifier: GPL-3.0-or-later
// narro check-version: asks the version-check server about this program.
#include <cstdio>

#include "narro/Narro.h"
#include "narro/VersionInfo.h"
#include "tools/narro/CommandLine.h"

// The narro program's own version strings, which the check sends to the
// server. NARRO_FILE_VERSION is the project version in four pieces.
NARRO_VERSION_INFO(
    NARRO_VERSION_TRANSLATION(0x0409, 0x04B0)
    NARRO_VERSION_STRING(FileVersion, NARRO_FILE_VERSION)
    NARRO_VERSION_STRING(ProductName, "narro")
    NARRO_VERSION_STRING(Comments, "Checks and uses an installation of Narro"));

namespace narro_tool {

int RunCheckVersion(const Arguments& arguments) {
  if (!arguments.empty()) throw UsageError("takes no arguments");
  CNarro* facade = MySingleton<CNarro>::GetSingletonPtr();
  if (facade == nullptr) {
    std::fprintf(stderr, "narro check-version: the library made no facade\n");
    return 1;
  }
  int difference = 0;
  CTTSString text;
  if (!facade->getVersion(difference, text)) {
    std::fprintf(stderr,
                 "narro check-version: no version from the server (no reply, "
                 "or a reply that is not a version)\n");
    return 1;
  }
  std::printf("difference: %d\n", difference);
  std::printf("text: %s\n", static_cast<const char*>(text));
  if (difference > 0) std::printf("a newer version exists\n");
  return 0;
}

}  // namespace narro_tool
