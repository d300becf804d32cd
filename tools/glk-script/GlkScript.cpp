// SPDX-License-Identifier: GPL-3.0-or-later
// narro-glk-script STORY [FILE] < COMMANDS
//
// Plays a story in emglken's interpreter for its format with the commands
// read from standard input, one a line, and prints what the story says, a
// paragraph a line. A line answers a line question; for a game that waits
// for one key, its first character is the key (an empty line is Enter).
// The game's file questions (save, restore) are answered with FILE (the
// interpreter adds ".glksave"); without FILE they are cancelled. When the
// commands run out the input is closed and the game is left to end.
//
// For tests and for making test data: real saves by a real interpreter,
// and a story played to its end. Exit status 0 when the game ended of its
// own accord or the commands ran out while it waited; 1 on any fault
// (reported on standard error); it gives up after 60 s.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "player/GameView.h"
#include "player/GlkProtocol.h"
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"
#include "player/StoryFormat.h"
#include "platform/locale/TextEncoding.h"

using namespace player;

namespace {

int Fail(const std::string& message, const Interpreter& interpreter) {
  std::fprintf(stderr, "narro-glk-script: %s\n", message.c_str());
  const std::string errors = interpreter.ErrorTail();
  if (!errors.empty()) std::fprintf(stderr, "%s\n", errors.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: narro-glk-script STORY [FILE] < COMMANDS\n");
    return 2;
  }
  const std::string story = argv[1];
  const std::optional<std::string> file = argc == 3 ? std::optional<std::string>(argv[2]) : std::nullopt;
  std::vector<std::wstring> commands;
  for (std::string line; std::getline(std::cin, line);) commands.push_back(platform::WideFromUtf8(line));

  std::vector<std::string> command;
  std::string error;
  Interpreter interpreter;
  if (!InterpreterCommand("", VmFor(IdentifyStory(story).format), story, command, error) ||
      !interpreter.Start(command, ".", error)) {
    return Fail(error, interpreter);
  }
  GlkSession session;
  GameView view;
  if (!interpreter.Write(session.Start(80, 24))) return Fail("the interpreter takes no input", interpreter);
  size_t next = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    if (std::chrono::steady_clock::now() > deadline) return Fail("gave up after 60 s", interpreter);
    struct pollfd fds[2] = {{interpreter.OutputFd(), POLLIN, 0}, {interpreter.ErrorFd(), POLLIN, 0}};
    poll(fds, 2, 100);
    interpreter.ReadErrors();
    std::string bytes;
    const bool open = interpreter.ReadOutput(bytes);
    session.Feed(bytes);
    while (std::optional<GlkUpdate> update = session.Next()) {
      if (!update->error.empty()) return Fail("protocol error: " + update->error, interpreter);
      GameView::Output out;
      view.Apply(*update, out);
      if (!session.Waiting() && !update->exit) continue;
      const std::wstring turn = view.TakeTurn();
      if (!turn.empty()) std::printf("%s\n", platform::Utf8FromWide(turn).c_str());
      std::fflush(stdout);
      if (!session.SpecialInput() && session.Waiting()) std::printf(">\n");
      std::fflush(stdout);
      std::string event;
      if (session.SpecialInput()) {
        event = session.AnswerFile(file);
      } else if (next < commands.size() && session.LineInput()) {
        event = session.AnswerLine(commands[next++]);
      } else if (next < commands.size() && session.CharInput()) {
        const std::wstring& key = commands[next++];
        event = session.AnswerChar(key.empty() ? std::wstring(L"return") : key.substr(0, 1));
      } else if (session.Waiting()) {
        interpreter.Stop();  // the commands ran out
        return 0;
      }
      if (!event.empty() && !interpreter.Write(event)) return Fail("the interpreter takes no input", interpreter);
    }
    if (!session.Fault().empty()) return Fail("the interpreter " + session.Fault(), interpreter);
    if (!open) {
      std::string how;
      const int status = interpreter.Reap(how);
      if (session.Ended() || (session.Started() && status == 0)) return 0;
      return Fail(how, interpreter);
    }
  }
}
