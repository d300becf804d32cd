// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale/Language.h"

#include <unicode/uloc.h>

#include "platform/environment/Environment.h"

namespace platform {

namespace {

constexpr uint16_t kUsEnglish = 0x0409;

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" name no language.
std::string LocaleId(std::string name) {
  name = name.substr(0, name.find_first_of(".@"));
  if (name == "C" || name == "POSIX") return std::string();
  return name;
}

uint16_t FirstLanguageOf(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const uint16_t id = LangIdFromLocaleName(name);
    if (id != 0) return id;
  }
  return 0;
}

}  // namespace

uint16_t LangIdFromLocaleName(const std::string& name) {
  const std::string id = LocaleId(name);
  if (id.empty()) return 0;
  return static_cast<uint16_t>(uloc_getLCID(id.c_str()) & 0xFFFF);
}

std::vector<std::string> UserInterfaceLocaleIds() {
  const std::string language = GetEnvironmentVariable("LANGUAGE");
  std::vector<std::string> ids;
  for (const std::string& name : {language.substr(0, language.find(':')),
                                  GetEnvironmentVariable("LC_ALL"), GetEnvironmentVariable("LC_MESSAGES"),
                                  GetEnvironmentVariable("LANG")}) {
    const std::string id = LocaleId(name);
    if (!id.empty()) ids.push_back(id);
  }
  return ids;
}

uint16_t GetUserDefaultUILanguage() {
  return FirstLanguageOf(UserInterfaceLocaleIds());
}

uint16_t GetUserDefaultLangID() {
  const uint16_t id = FirstLanguageOf(
      {GetEnvironmentVariable("LC_ALL"), GetEnvironmentVariable("LC_CTYPE"), GetEnvironmentVariable("LANG")});
  return id != 0 ? id : kUsEnglish;
}

}  // namespace platform
