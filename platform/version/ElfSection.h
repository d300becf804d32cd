// SPDX-License-Identifier: GPL-3.0-or-later
// Reads one section of an ELF file (an executable or a shared object).
#ifndef NARRO_PLATFORM_VERSION_ELF_SECTION_H_
#define NARRO_PLATFORM_VERSION_ELF_SECTION_H_

#include <string>
#include <vector>

namespace platform {

// The bytes of the first section called name. False when the file cannot be
// read, is not ELF, or has no such section with contents in the file.
bool ReadElfSection(const std::string& path, const std::string& name,
                    std::vector<unsigned char>* bytes);

}  // namespace platform

#endif  // NARRO_PLATFORM_VERSION_ELF_SECTION_H_
