// SPDX-License-Identifier: GPL-3.0-or-later
// The small text transformations that prepare text before it is spoken.
#ifndef NARRO_TEXT_SPEECH_SHAPING_H_
#define NARRO_TEXT_SPEECH_SHAPING_H_

#include <string>
#include <vector>

// The lines of a paragraph, each to be its own utterance; empty lines
// are left out.
std::vector<std::wstring> SpokenLines(const std::wstring& paragraph);

// "Current Directory is: " and each part of the path between slashes
// followed by ", ", so that a folder is heard a part at a time.
std::string DirectoryAnnouncement(const std::string& path);

// Replaces every find in source, in one pass left to right: replaced
// text is never searched again. Returns the number replaced; 0 (source
// untouched) when source or find is empty.
int FindAndReplace(std::wstring& source, const std::wstring& find,
                   const std::wstring& replacement);

#endif  // NARRO_TEXT_SPEECH_SHAPING_H_
