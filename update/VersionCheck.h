// SPDX-License-Identifier: GPL-3.0-or-later
// Asks the version-check server about a program and compares its answer
// with the program's own FileVersion.
#ifndef NARRO_UPDATE_VERSION_CHECK_H_
#define NARRO_UPDATE_VERSION_CHECK_H_

#include <string>

#include "narro/Narro.h"
#include "update/VersionStrings.h"

// getVersion for the given version strings and server. No reply: false and
// both outputs untouched. A reply that is not a version: false, text is the
// reply. Otherwise text is "ProductName: a.b.c.d" (the server's version),
// difference is the server's number less ours, and the result is true.
bool CheckVersion(const VersionStrings& versions, const std::string& server,
                  int& difference, CTTSString& text);

#endif  // NARRO_UPDATE_VERSION_CHECK_H_
