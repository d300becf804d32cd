// SPDX-License-Identifier: GPL-3.0-or-later
// The version strings of the test program itself, which getVersion reads
// from the running executable. Comments is left out.
#include "narro/VersionInfo.h"

NARRO_VERSION_INFO(
    NARRO_VERSION_TRANSLATION(0x0409, 0x04B0)
    NARRO_VERSION_STRING(FileVersion, "1.0.0.1")
    NARRO_VERSION_STRING(ProductName, "Story Player")
    NARRO_VERSION_STRING(CompanyName, "Narro tests")
    NARRO_VERSION_STRING(LegalCopyright, "free"));
