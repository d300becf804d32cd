// SPDX-License-Identifier: GPL-3.0-or-later
// Every conversion between bytes and wide text, named after the encoding it
// reads or writes. There are three, and nothing else converts:
//
//   WideFromBytes / BytesFromWide    one byte per character: byte b is the
//       character of code b, a character above 255 becomes the byte 0; the
//       whole length, embedded zeros included. Lossless from bytes and back.
//       The library's narrow/wide rule (CTTSString, CTTSWString and the
//       narrow calls of the public header), and how a path crosses a wide
//       interface.
//   WideFromLocale / LocaleFromWide  the multibyte text of the locale in
//       force (LC_CTYPE, as setlocale() left it): text typed by a person or
//       shown and spoken to one.
//   WideFromUtf8 / Utf8FromWide      UTF-8 whatever the locale: the game's
//       protocol and files other programs read.
//
// Paths. A path is bytes, from the moment it is read off the disk or the
// command line until it is opened again: it is passed on as a std::string,
// or, where an interface only carries wide text, as WideFromBytes and back
// with BytesFromWide, never through the locale or UTF-8, which would lose
// or change bytes that do not decode and open another file, or none. A
// path (or a file or folder name) is text only on its way to a person:
// WideFromLocale makes what is drawn and spoken of it, and that text is
// never turned back into a path (narro-play, which writes UTF-8 to its
// terminal whatever the locale, reads names for a person as UTF-8). A path
// printed for a shell to use is printed as its bytes. A program that takes
// names as UTF-8 text only (narro-play's interpreters: Node.js, JSON) is
// given a path that is not UTF-8 another way (PathForInterpreter in
// player/SmallFiles.h), never a re-encoded one.
#ifndef NARRO_PLATFORM_LOCALE_TEXT_ENCODING_H_
#define NARRO_PLATFORM_LOCALE_TEXT_ENCODING_H_

#include <string>

namespace platform {

std::wstring WideFromBytes(const std::string& bytes);
std::string BytesFromWide(const std::wstring& text);

// A byte that does not decode keeps its own code as a character, so that
// nothing is lost from the text shown (a terminal draws it as '?'). The
// whole length is converted.
std::wstring WideFromLocale(const std::string& text);
// Characters the locale's encoding cannot hold become '?'.
std::string LocaleFromWide(const std::wstring& text);

// A byte that does not begin or continue a valid sequence (stray
// continuation bytes, overlong forms, surrogates, codes above U+10FFFF)
// becomes U+FFFD, one per bad byte, so that nothing is silently lost and
// nothing invalid reaches a voice.
std::wstring WideFromUtf8(const std::string& bytes);
// Codes that are not Unicode scalar values become U+FFFD.
std::string Utf8FromWide(const std::wstring& text);
std::string Utf8FromWide(wchar_t ch);
// True when every byte is part of a valid sequence (what WideFromUtf8
// decodes without a replacement character).
bool IsUtf8(const std::string& bytes);

}  // namespace platform

#endif  // NARRO_PLATFORM_LOCALE_TEXT_ENCODING_H_
