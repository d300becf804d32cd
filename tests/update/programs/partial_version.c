// SPDX-License-Identifier: GPL-3.0-or-later
/* A C host that names its translation through its own macros, one of them
   decimal (1200 is code page 0x04B0), and leaves three strings out. */
#include "narro/VersionInfo.h"

#define HOST_LANGUAGE 0x0409
#define HOST_CODE_PAGE 1200

NARRO_VERSION_INFO(
    NARRO_VERSION_TRANSLATION(HOST_LANGUAGE, HOST_CODE_PAGE)
    NARRO_VERSION_STRING(FileVersion, "1.0.0.1")
    NARRO_VERSION_STRING(ProductName, "Story Player"));

int main(void) { return 0; }
