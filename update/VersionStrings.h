// SPDX-License-Identifier: GPL-3.0-or-later
// The five version strings of the running program.
#ifndef NARRO_UPDATE_VERSION_STRINGS_H_
#define NARRO_UPDATE_VERSION_STRINGS_H_

#include <string>
#include <vector>

// Positions in the list GetVersionStrings gives.
enum VersionString : size_t {
  kFileVersion = 0,
  kProductName = 1,
  kCompanyName = 2,
  kLegalCopyright = 3,
  kComments = 4,
};

using VersionStrings = std::vector<std::string>;

// FileVersion, ProductName, CompanyName, LegalCopyright and Comments of the
// process's main executable, "none" for each one it lacks.
VersionStrings GetVersionStrings();

// The same for any file with a version resource.
VersionStrings GetVersionStrings(const std::string& path);

#endif  // NARRO_UPDATE_VERSION_STRINGS_H_
