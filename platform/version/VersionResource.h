// SPDX-License-Identifier: GPL-3.0-or-later
// The version resource of an executable (GetFileVersionInfoSizeA,
// GetFileVersionInfoA, VerQueryValueA). On Linux it is the ELF section
// ".narro_version" that NARRO_VERSION_INFO (narro/VersionInfo.h) writes; that
// header describes its layout.
#ifndef NARRO_PLATFORM_VERSION_VERSION_RESOURCE_H_
#define NARRO_PLATFORM_VERSION_VERSION_RESOURCE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct LANGANDCODEPAGE {
  uint16_t wLanguage;
  uint16_t wCodePage;
};

// Bytes of the file's version information; 0 when it has none (no such
// section, not an ELF file, no file) or a section of some other layout.
uint32_t GetFileVersionInfoSize(const std::string& path);

// Fills data with the file's version information, size bytes at most (the
// value GetFileVersionInfoSize gave).
bool GetFileVersionInfo(const std::string& path, uint32_t size,
                        std::vector<unsigned char>* data);

// "\VarFileInfo\Translation": the translations of a loaded block, in order.
// False when it names none.
bool VerQueryTranslation(const std::vector<unsigned char>& block,
                         std::vector<LANGANDCODEPAGE>* translations);

// "\StringFileInfo\llllcccc\Name": the string Name of the table whose
// translation is language llll and code page cccc (hexadecimal, either
// case). False when there is no such table or string.
bool VerQueryValue(const std::vector<unsigned char>& block,
                   const std::string& subBlock, std::string* value);

}  // namespace platform

#endif  // NARRO_PLATFORM_VERSION_VERSION_RESOURCE_H_
