// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of a ".narro_version" section, taken apart. The layout is
// described in narro/VersionInfo.h.
#ifndef NARRO_PLATFORM_VERSION_VERSION_BLOCK_H_
#define NARRO_PLATFORM_VERSION_VERSION_BLOCK_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/version/VersionResource.h"

namespace platform {

extern const char kVersionSignature[];

struct VersionTable {
  std::optional<LANGANDCODEPAGE> translation;
  std::map<std::string, std::string> strings;  // Translation not among them
};

// Whether the block starts with the layout's signature.
bool HasVersionSignature(const std::vector<unsigned char>& block);

// Reads the pairs after the signature up to an empty name or the end; a
// last text without its terminator is ignored. Nothing without the
// signature. A Translation that is not two numbers up to 0xFFFF is none.
VersionTable ParseVersionBlock(const std::vector<unsigned char>& block);

}  // namespace platform

#endif  // NARRO_PLATFORM_VERSION_VERSION_BLOCK_H_
