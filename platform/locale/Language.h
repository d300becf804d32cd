// SPDX-License-Identifier: GPL-3.0-or-later
// The user's languages as Windows language identifiers (LANGID), taken from
// the locale environment and turned into numbers by ICU.
#ifndef NARRO_PLATFORM_LOCALE_LANGUAGE_H_
#define NARRO_PLATFORM_LOCALE_LANGUAGE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The preferred interface language: the first of LANGUAGE (its first
// entry), LC_ALL, LC_MESSAGES and LANG that names a language. 0 when none
// does ("C" and "POSIX" name none).
uint16_t GetUserDefaultUILanguage();

// The locale ids ("de_DE") that LANGUAGE (its first entry), LC_ALL,
// LC_MESSAGES and LANG name, in that order; "C", "POSIX" and empty values are
// left out.
std::vector<std::string> UserInterfaceLocaleIds();

// The user's default language: LC_ALL, LC_CTYPE, LANG, else US English.
// Never 0.
uint16_t GetUserDefaultLangID();

// The LANGID of a POSIX or ICU locale name such as "de_DE.UTF-8"; 0 when
// ICU knows no identifier for it.
uint16_t LangIdFromLocaleName(const std::string& name);

}  // namespace platform

#endif  // NARRO_PLATFORM_LOCALE_LANGUAGE_H_
