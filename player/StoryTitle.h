// SPDX-License-Identifier: GPL-3.0-or-later
// A story's title without playing it: its metadata's, else the title its
// banner prints when an interpreter starts it, else its file name.
#ifndef NARRO_PLAYER_STORY_TITLE_H_
#define NARRO_PLAYER_STORY_TITLE_H_

#include <chrono>
#include <string>

namespace player {

// Starts the story in the interpreter the player would use (`custom` as
// in InterpreterCommand), reads its first turn, and ends it: the banner's
// title, or empty when it has none or the interpreter did not show its
// first turn within `limit`. Never touches the terminal or the voice.
std::wstring BannerTitle(const std::string& custom, const std::string& story,
                         std::chrono::milliseconds limit);

// Metadata, else the banner (within `limit`), else the file name's stem.
std::wstring StoryTitle(const std::string& custom, const std::string& story,
                        std::chrono::milliseconds limit);

}  // namespace player

#endif  // NARRO_PLAYER_STORY_TITLE_H_
