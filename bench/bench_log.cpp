// What a log line costs when no debug-output listener runs (the normal case
// on a player's machine) and when one does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/Log.h"
#include "platform/debugout/DebugOutput.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsPerLine(int lines) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < lines; ++i) LogLine("Checking: %s", "/games/zork1.z5");
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / lines;
}

}  // namespace

int main() {
  unsetenv("NARRO_LOG");
  const double withoutListener = MicrosecondsPerLine(100000);

  std::string error;
  auto listener = platform::DebugOutputListener::Start(&error);
  double withListener = 0;
  if (listener) {
    std::thread reader([&] {
      platform::DebugMessage message;
      while (listener->Receive(&message, 500)) {
      }
    });
    withListener = MicrosecondsPerLine(20000);
    reader.join();
  }
  std::printf("log lines\n  no listener: %.2f us per line\n", withoutListener);
  if (listener) {
    std::printf("  with a listener reading: %.2f us per line\n", withListener);
  } else {
    std::printf("  with a listener: not measured (%s)\n", error.c_str());
  }
  return 0;
}
