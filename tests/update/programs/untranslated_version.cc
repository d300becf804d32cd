// SPDX-License-Identifier: GPL-3.0-or-later
// Strings without a translation: no table can be found.
#include "narro/VersionInfo.h"

NARRO_VERSION_INFO(
    NARRO_VERSION_STRING(FileVersion, "1.0.0.1")
    NARRO_VERSION_STRING(ProductName, "Story Player"));

int main() { return 0; }
