// SPDX-License-Identifier: GPL-3.0-or-later
// What kind of story a file holds, told by its own first bytes rather than
// its name (a .dat may be Z-code, a renamed .z5 may be Glulx), which
// interpreter plays it, and the title its metadata gives, if any.
#ifndef NARRO_PLAYER_STORY_FORMAT_H_
#define NARRO_PLAYER_STORY_FORMAT_H_

#include <string>

namespace player {

enum class StoryFormat {
  kUnknown,
  kZcode,
  kGlulx,
  kBlorbZcode,
  kBlorbGlulx,
  kHugo,
  kTads2,
  kTads3,
  kAdrift,
};

struct StoryInfo {
  StoryFormat format = StoryFormat::kUnknown;
  std::wstring title;  // a Blorb's iFiction metadata, TADS 3's GameInfo; empty when none
};

// Reads the file's header (and a Blorb's chunk index and metadata). Never
// blocks on a FIFO or a device and reads at most a few MiB. Where the bytes
// say nothing, the extension decides (Hugo has no magic number of its own).
StoryInfo IdentifyStory(const std::string& path);

// The name emglken gives the interpreter of a format ("bocfel", "glulxe",
// "hugo", "tads", "scare"); empty for kUnknown.
std::string VmFor(StoryFormat format);

// A word for the player: "Z-code", "Glulx", ...
std::string FormatName(StoryFormat format);

// The file-name endings of every story the player can play, comma-separated
// with their dots, as the library's lists take them.
extern const char kStoryExtensions[];

}  // namespace player

#endif  // NARRO_PLAYER_STORY_FORMAT_H_
