// SPDX-License-Identifier: GPL-3.0-or-later
// Narro: the version strings of a host program, for the version check.
//
// CNarro::getVersion asks the version-check server about the program it runs
// in, by the ProductName and FileVersion the program carries. A host writes
// NARRO_VERSION_INFO once, at file scope, in one source file of its
// executable (the one with main() is a good place: it is always linked):
//
//   #include <narro/VersionInfo.h>
//
//   NARRO_VERSION_INFO(
//       NARRO_VERSION_TRANSLATION(0x0409, 0x04B0)
//       NARRO_VERSION_STRING(FileVersion, "1.2.0.5")
//       NARRO_VERSION_STRING(ProductName, "Story Player")
//       NARRO_VERSION_STRING(CompanyName, "Example Games")
//       NARRO_VERSION_STRING(LegalCopyright, "(c) 2026 Example Games")
//       NARRO_VERSION_STRING(Comments, "An interpreter"));
//
// Any entry may be left out; a missing string reads as "none", and without a
// translation none of the strings can be found. FileVersion is compared in
// four "." pieces of decimal digits. The macro works in C and C++.
//
// Layout of the ELF section ".narro_version" (readelf -p .narro_version
// shows it): a run of zero-terminated texts. The first is the signature
// "NarroVersionInfo/1". Then come pairs of texts, a name and its value, up to
// an empty name or the end of the section:
//   "Translation"  "LANGUAGE,CODEPAGE"  two C integer literals, each at most
//                                       0xFFFF, e.g. "0x0409,0x04B0"
//   "FileVersion"  "1.2.0.5"            and so on for every string
// Values cannot hold a zero byte. The section holds one translation and one
// table of strings, the strings of that translation.
//
// The section is marked "used" and "retain", so that neither the compiler
// nor a link with -Wl,--gc-sections drops it although nothing refers to it
// (GCC 11 or Clang 13 with binutils 2.36 or later). Only the executable's
// own section counts: the library reads /proc/self/exe.
#ifndef NARRO_VERSION_INFO_H_
#define NARRO_VERSION_INFO_H_

#define NARRO_VERSION_SIGNATURE_ "NarroVersionInfo/1"

#define NARRO_VERSION_TEXT_(x) #x
#define NARRO_VERSION_EXPANDED_TEXT_(x) NARRO_VERSION_TEXT_(x)

// The language and code page of the strings, as integer literals (or macros
// that expand to them).
#define NARRO_VERSION_TRANSLATION(language, codePage) \
  "Translation\0" NARRO_VERSION_EXPANDED_TEXT_(language) "," \
  NARRO_VERSION_EXPANDED_TEXT_(codePage) "\0"

// One string: name is written bare (FileVersion), value is a string literal.
#define NARRO_VERSION_STRING(name, value) #name "\0" value "\0"

#if defined(__has_attribute)
#if __has_attribute(retain)
#define NARRO_VERSION_RETAIN_ __attribute__((retain))
#endif
#endif
#ifndef NARRO_VERSION_RETAIN_
#define NARRO_VERSION_RETAIN_
#endif

// The entries follow each other without commas. The empty text at the end
// ends the list, and the literal's own terminator makes it an empty name.
#define NARRO_VERSION_INFO(...)                                         \
  __attribute__((section(".narro_version"), used, aligned(1)))          \
  NARRO_VERSION_RETAIN_ static const char narro_version_info_[] =      \
      NARRO_VERSION_SIGNATURE_ "\0" __VA_ARGS__ ""

#endif  // NARRO_VERSION_INFO_H_
