// SPDX-License-Identifier: GPL-3.0-or-later
// Every string, under German with the Windows-1252 code page.
#include "narro/VersionInfo.h"

NARRO_VERSION_INFO(
    NARRO_VERSION_TRANSLATION(0x0407, 0x04E4)
    NARRO_VERSION_STRING(FileVersion, "2.10.0.3")
    NARRO_VERSION_STRING(ProductName, "Geschichten Spieler")
    NARRO_VERSION_STRING(CompanyName, "Beispiel GmbH")
    NARRO_VERSION_STRING(LegalCopyright, "(c) 2026, all rights")
    NARRO_VERSION_STRING(Comments, ""));

int main() { return 0; }
