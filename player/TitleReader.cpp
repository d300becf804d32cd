// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/TitleReader.h"

#include <poll.h>

#include <algorithm>
#include <optional>

#include "player/Cage.h"
#include "player/GameView.h"
#include "player/GlkProtocol.h"
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"
#include "player/StoryFiles.h"
#include "player/StoryFormat.h"

namespace player {

using Clock = std::chrono::steady_clock;

struct TitleReader::Running {
  size_t index = 0;
  Clock::time_point until;
  PrivateFolder folder;
  Interpreter interpreter;
  GlkSession session;
  GameView view;
};

TitleReader::TitleReader(const std::string& custom, const Limits& limits) : m_custom(custom), m_limits(limits) {}

TitleReader::~TitleReader() = default;

bool TitleReader::Begin(Running& running, const std::string& story) {
  InterpreterLaunch launch;
  std::string error;
  if (!InterpreterCommand(m_custom, VmFor(IdentifyStory(story).format), story, launch, error)) return false;
  // A story nobody chose yet runs with nothing it may write at all.
  if (!running.folder.Make(error)) return false;
  if (!StartCaged(running.interpreter, launch, story, running.folder.Path(), false, error)) return false;
  return running.interpreter.Write(running.session.Start(80, 24));
}

std::vector<std::wstring> TitleReader::Read(const std::vector<std::string>& stories, int wait,
                                            const std::function<bool(size_t done, bool ready)>& serve) {
  std::vector<std::wstring> titles(stories.size());
  std::vector<std::unique_ptr<Running>> running;
  const Clock::time_point end = Clock::now() + m_limits.whole;
  size_t next = 0;
  size_t done = 0;
  for (;;) {
    const Clock::time_point now = Clock::now();
    // Start what may start; a story that cannot be started is done.
    while (running.size() < std::max<size_t>(1, m_limits.atOnce) && next < stories.size() && now < end) {
      auto one = std::make_unique<Running>();
      one->index = next;
      one->until = std::min(end, now + m_limits.each);
      if (Begin(*one, stories[next])) running.push_back(std::move(one));
      else ++done;
      ++next;
    }
    if (running.empty()) break;
    std::vector<struct pollfd> fds;
    for (const auto& one : running) {
      fds.push_back({one->interpreter.OutputFd(), POLLIN, 0});
      fds.push_back({one->interpreter.ErrorFd(), POLLIN, 0});
    }
    if (wait >= 0) fds.push_back({wait, POLLIN, 0});
    Clock::time_point soonest = end;
    for (const auto& one : running) soonest = std::min(soonest, one->until);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(soonest - Clock::now()).count();
    poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(left + 1, 0, 250)));
    const bool ready = wait >= 0 && (fds.back().revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    for (auto it = running.begin(); it != running.end();) {
      Running& one = **it;
      one.interpreter.ReadErrors();
      std::string bytes;
      const bool open = one.interpreter.ReadOutput(bytes);
      one.session.Feed(bytes);
      bool finished = !open || !one.session.Fault().empty() || Clock::now() >= one.until;
      while (std::optional<GlkUpdate> update = one.session.Next()) {
        GameView::Output out;
        one.view.Apply(*update, out);
        if (one.session.Waiting() || update->exit) {
          titles[one.index] = TitleFromBanner(one.view.Banner());
          finished = true;
          break;
        }
      }
      if (finished) {
        ++done;
        it = running.erase(it);  // its interpreter is stopped, its folder removed
      } else {
        ++it;
      }
    }
    // Past the whole time, what still runs has had its chance.
    if (!serve(done, ready) || Clock::now() >= end) break;
  }
  return titles;
}

}  // namespace player
