// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryTitle.h"

#include "player/StoryFiles.h"
#include "player/StoryFormat.h"
#include "player/TitleReader.h"
#include "platform/locale/TextEncoding.h"

namespace player {

std::wstring BannerTitle(const std::string& custom, const std::string& story,
                         std::chrono::milliseconds limit) {
  if (limit.count() <= 0) return std::wstring();
  TitleReader::Limits limits;
  limits.atOnce = 1;
  limits.each = limits.whole = limit;
  TitleReader reader(custom, limits);
  return reader.Read({story}, -1, [](size_t, bool) { return true; })[0];
}

std::wstring StoryTitle(const std::string& custom, const std::string& story,
                        std::chrono::milliseconds limit) {
  const StoryInfo info = IdentifyStory(story);
  if (!info.title.empty()) return info.title;
  std::wstring title = BannerTitle(custom, story, limit);
  if (title.empty()) title = platform::WideFromUtf8(StemOf(story));
  return title;
}

}  // namespace player
