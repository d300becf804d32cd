// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/FileVersionInfo.h"

#include <cstdio>

#include "platform/version/VersionResource.h"

namespace {

constexpr size_t kMaxPrefix = 255;

std::string StringTablePrefix(const platform::LANGANDCODEPAGE& translation) {
  char prefix[kMaxPrefix + 1];
  const unsigned long key =
      static_cast<unsigned long>(translation.wLanguage) << 16 | translation.wCodePage;
  std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%08lx\\", key);
  return prefix;
}

}  // namespace

bool CFileVersionInfo::Open(const char* path) {
  if (path == nullptr) return false;
  const uint32_t size = platform::GetFileVersionInfoSize(path);
  if (size == 0) return false;
  m_data.clear();
  if (!platform::GetFileVersionInfo(path, size, &m_data)) {
    m_data.clear();
    return false;
  }
  std::vector<platform::LANGANDCODEPAGE> translations;
  if (!platform::VerQueryTranslation(m_data, &translations)) {
    m_data.clear();
    return false;
  }
  m_prefix = StringTablePrefix(translations.front());
  m_fileName = path;
  return true;
}

std::string CFileVersionInfo::QueryValue(const char* name) const {
  if (name == nullptr) return std::string();
  std::string value;
  if (m_data.empty() || !platform::VerQueryValue(m_data, m_prefix + name, &value)) {
    return "none";
  }
  return value;
}
