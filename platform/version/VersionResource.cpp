// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/version/VersionResource.h"

#include <strings.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "platform/version/ElfSection.h"
#include "platform/version/VersionBlock.h"

namespace platform {
namespace {

const char kSectionName[] = ".narro_version";
const char kStringFileInfo[] = "\\StringFileInfo\\";

bool ReadVersionSection(const std::string& path,
                        std::vector<unsigned char>* bytes) {
  return ReadElfSection(path, kSectionName, bytes) && HasVersionSignature(*bytes) &&
         bytes->size() <= std::numeric_limits<uint32_t>::max();
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
  const size_t length = std::char_traits<char>::length(prefix);
  return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

// "llllcccc\" at the start of path, as language << 16 | code page.
bool TakeTranslationKey(const std::string& path, unsigned long* key,
                        std::string* rest) {
  if (path.size() < 9 || path[8] != '\\') return false;
  const std::string digits = path.substr(0, 8);
  if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  *key = std::strtoul(digits.c_str(), nullptr, 16);
  *rest = path.substr(9);
  return true;
}

}  // namespace

uint32_t GetFileVersionInfoSize(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!ReadVersionSection(path, &bytes)) return 0;
  return static_cast<uint32_t>(bytes.size());
}

bool GetFileVersionInfo(const std::string& path, uint32_t size,
                        std::vector<unsigned char>* data) {
  std::vector<unsigned char> bytes;
  if (!ReadVersionSection(path, &bytes)) return false;
  if (bytes.size() > size) bytes.resize(size);
  *data = std::move(bytes);
  return true;
}

bool VerQueryTranslation(const std::vector<unsigned char>& block,
                         std::vector<LANGANDCODEPAGE>* translations) {
  const VersionTable table = ParseVersionBlock(block);
  if (!table.translation) return false;
  *translations = {*table.translation};
  return true;
}

bool VerQueryValue(const std::vector<unsigned char>& block,
                   const std::string& subBlock, std::string* value) {
  if (!StartsWithIgnoringCase(subBlock, kStringFileInfo)) return false;
  unsigned long key = 0;
  std::string name;
  const std::string path = subBlock.substr(std::char_traits<char>::length(kStringFileInfo));
  if (!TakeTranslationKey(path, &key, &name)) return false;
  const VersionTable table = ParseVersionBlock(block);
  if (!table.translation) return false;
  const unsigned long tableKey =
      static_cast<unsigned long>(table.translation->wLanguage) << 16 |
      table.translation->wCodePage;
  if (key != tableKey) return false;
  const auto found = table.strings.find(name);
  if (found == table.strings.end()) return false;
  *value = found->second;
  return true;
}

}  // namespace platform
