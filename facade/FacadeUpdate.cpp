// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's version check: this program's version against the server's.
#include "narro/Narro.h"
#include "update/VersionCheck.h"
#include "update/VersionCheckUrl.h"
#include "update/VersionStrings.h"

bool CNarro::getVersion(int& difference, CTTSString& text) {
  return CheckVersion(GetVersionStrings(), VersionServer(), difference, text);
}
