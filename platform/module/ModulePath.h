// SPDX-License-Identifier: GPL-3.0-or-later
// Where the running program lies (GetModuleFileNameA of the main module),
// and the data folder a user or a test may put in its place.
#ifndef NARRO_PLATFORM_MODULE_MODULE_PATH_H_
#define NARRO_PLATFORM_MODULE_MODULE_PATH_H_

#include <string>

namespace platform {

// The full path of the running executable; empty if it cannot be read.
std::string GetModuleFileName();

// The full path, links resolved, of the file that holds this code:
// libNarro.so for a host, the program itself when the code is linked into
// it (the narro tool, the tests) or when the library was loaded by a
// relative name; empty if none can be found.
std::string GetLibraryFileName();

// NARRO_DATA_DIR when it is set and not empty, else the empty string.
std::string GetDataDirectoryOverride();

}  // namespace platform

#endif  // NARRO_PLATFORM_MODULE_MODULE_PATH_H_
