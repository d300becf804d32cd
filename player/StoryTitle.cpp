// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryTitle.h"

#include <poll.h>

#include <algorithm>
#include <vector>

#include "player/GameView.h"
#include "player/GlkProtocol.h"
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"
#include "player/StoryFiles.h"
#include "player/StoryFormat.h"
#include "platform/locale/TextEncoding.h"

namespace player {

std::wstring BannerTitle(const std::string& custom, const std::string& story,
                         std::chrono::milliseconds limit) {
  if (limit.count() <= 0) return std::wstring();
  std::vector<std::string> argv;
  std::string error;
  if (!InterpreterCommand(custom, VmFor(IdentifyStory(story).format), story, argv, error)) {
    return std::wstring();
  }
  Interpreter interpreter;
  if (!interpreter.Start(argv, FolderOf(story), error)) return std::wstring();
  GlkSession session;
  GameView view;
  if (!interpreter.Write(session.Start(80, 24))) return std::wstring();
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::wstring();
    struct pollfd fds[2] = {{interpreter.OutputFd(), POLLIN, 0}, {interpreter.ErrorFd(), POLLIN, 0}};
    poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 1000)));
    interpreter.ReadErrors();
    std::string bytes;
    const bool open = interpreter.ReadOutput(bytes);
    session.Feed(bytes);
    while (std::optional<GlkUpdate> update = session.Next()) {
      GameView::Output out;
      view.Apply(*update, out);
      if (session.Waiting() || update->exit) return TitleFromBanner(view.Banner());
    }
    if (!open || !session.Fault().empty()) return std::wstring();
  }
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
