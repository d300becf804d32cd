// SPDX-License-Identifier: GPL-3.0-or-later
// narro monitor: a debug-output viewer in the shell. Every line any program
// of this user writes to the debug-output channel is printed, with the
// writer's process id in front by the monitor's rules, until Ctrl-C or
// SIGTERM, or until a line cannot be written (status 1).
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/MonitorText.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

namespace {

volatile sig_atomic_t g_stop = 0;

void Stop(int) { g_stop = 1; }

// Lines end in CR LF on the monitor's pane; a shell wants LF. False when
// the line could not be written: a monitor that loses lines says so.
bool Print(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
  return std::fflush(stdout) == 0 && written;
}

int CannotWrite() {
  std::fprintf(stderr, "narro monitor: cannot write the lines: %s\n", std::strerror(errno));
  return 1;
}

}  // namespace

int RunMonitor(const Arguments& given) {
  Arguments arguments = given;
  std::string pidText;
  std::string grep;
  const bool byPid = TakeOption(arguments, "--pid", &pidText);
  const bool byText = TakeOption(arguments, "--grep", &grep);
  RejectOptions(arguments);
  if (!arguments.empty()) throw UsageError("takes only --pid and --grep");
  const long pid = byPid ? ParseNumber(pidText, "--pid") : 0;

  // Stopping is asked for by a signal; the wait below wakes to see it.
  struct sigaction action = {};
  action.sa_handler = Stop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  // Its lines are the point: with nowhere to print them it does not start.
  if (StandardOutputWasClosed()) {
    std::fprintf(stderr, "narro monitor: standard output is closed\n");
    return 1;
  }
  if (!Print(CMonitorText::StartLines())) return CannotWrite();
  std::string error;
  const auto listener = platform::DebugOutputListener::Start(&error);
  if (!listener) {
    if (error.find("already exists") != std::string::npos) {
      Print("Debugger Already Running\r\n");
    } else {
      std::fprintf(stderr, "narro monitor: %s\n", error.c_str());
    }
    return 1;
  }
  CMonitorText text;
  platform::DebugMessage message;
  while (!g_stop) {
    if (!listener->Receive(&message, 200)) continue;
    if (byPid && message.pid != static_cast<uint32_t>(pid)) continue;
    if (byText && message.text.find(grep) == std::string::npos) continue;
    if (!Print(text.Format(message.pid, message.text))) return CannotWrite();
  }
  return 0;
}

}  // namespace narro_tool
