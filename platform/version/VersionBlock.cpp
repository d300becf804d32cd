// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/version/VersionBlock.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "narro/VersionInfo.h"

namespace platform {

const char kVersionSignature[] = NARRO_VERSION_SIGNATURE_;

namespace {

// Walks the zero-terminated texts of a block.
class TextReader {
 public:
  explicit TextReader(const std::vector<unsigned char>& block)
      : m_begin(reinterpret_cast<const char*>(block.data())),
        m_end(m_begin + block.size()) {}

  // The next text; false at the end or at a text that runs off the end.
  bool Next(std::string* text) {
    const void* zero = std::memchr(m_begin, '\0', static_cast<size_t>(m_end - m_begin));
    if (zero == nullptr) return false;
    const char* stop = static_cast<const char*>(zero);
    text->assign(m_begin, stop);
    m_begin = stop + 1;
    return true;
  }

 private:
  const char* m_begin;
  const char* m_end;
};

// A C integer literal (decimal, 0x hexadecimal or 0 octal) up to 0xFFFF.
std::optional<uint16_t> ParseWord(const std::string& text) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (*end != '\0' || errno == ERANGE || value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::optional<LANGANDCODEPAGE> ParseTranslation(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto language = ParseWord(text.substr(0, comma));
  const auto codePage = ParseWord(text.substr(comma + 1));
  if (!language || !codePage) return std::nullopt;
  return LANGANDCODEPAGE{*language, *codePage};
}

}  // namespace

bool HasVersionSignature(const std::vector<unsigned char>& block) {
  TextReader reader(block);
  std::string signature;
  return reader.Next(&signature) && signature == kVersionSignature;
}

VersionTable ParseVersionBlock(const std::vector<unsigned char>& block) {
  VersionTable table;
  TextReader reader(block);
  std::string text;
  if (!reader.Next(&text) || text != kVersionSignature) return table;
  std::string name;
  std::string value;
  while (reader.Next(&name) && !name.empty() && reader.Next(&value)) {
    if (name == "Translation") {
      table.translation = ParseTranslation(value);
    } else {
      table.strings[name] = value;
    }
  }
  return table;
}

}  // namespace platform
