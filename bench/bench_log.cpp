// SPDX-License-Identifier: GPL-3.0-or-later
// What a log line costs when no debug-output listener runs (the normal case
// on a player's machine), when one reads, and when one is stopped (a monitor
// paused with Ctrl-Z: every utterance is logged before it is spoken, so this
// is what a stopped monitor adds to each spoken word).
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/Log.h"
#include "platform/debugout/DebugOutput.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsPerLine(int lines) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < lines; ++i) LogLine("Checking: %s", "/games/zork1.z5");
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / lines;
}

// A listener in a child process that reads until it is stopped. Returns the
// child's pid once its listener runs, or -1.
pid_t StartListenerChild() {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    std::string error;
    auto listener = platform::DebugOutputListener::Start(&error);
    const char state = listener ? 'y' : 'n';
    if (write(ready[1], &state, 1) != 1 || !listener) _exit(1);
    platform::DebugMessage message;
    for (;;) listener->Receive(&message, 500);
  }
  close(ready[1]);
  char state = 'n';
  const bool started = child > 0 && read(ready[0], &state, 1) == 1 && state == 'y';
  close(ready[0]);
  if (child > 0 && !started) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
  }
  return child;
}

// Four writer processes of 25,000 lines each against one listener: the
// lines per second the listener takes in, its own cost per line, and how
// many lines were lost (which should be none).
struct Throughput {
  double linesPerSecond = 0;
  double listenerUsPerLine = 0;
  int lost = 0;
};

double ListenerCpuMicroseconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec * 1e6 + usage.ru_utime.tv_usec + usage.ru_stime.tv_sec * 1e6 +
         usage.ru_stime.tv_usec;
}

Throughput FourWriters() {
  constexpr int kWriters = 4, kEach = 25000;
  Throughput result;
  std::string error;
  auto listener = platform::DebugOutputListener::Start(&error);
  if (!listener) {
    result.lost = kWriters * kEach;
    return result;
  }
  const Clock::time_point start = Clock::now();
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = fork();
    if (child == 0) {
      for (int m = 0; m < kEach; ++m) platform::OutputDebugString("line " + std::to_string(m));
      _exit(0);
    }
    writers.push_back(child);
  }
  int received = 0;
  const double cpuBefore = ListenerCpuMicroseconds();
  platform::DebugMessage message;
  while (listener->Receive(&message, 2000)) {
    if (++received == kWriters * kEach) break;
  }
  // The listener's own processor time, not its waits for the writers.
  const double inReceive = ListenerCpuMicroseconds() - cpuBefore;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (const pid_t child : writers) waitpid(child, nullptr, 0);
  result.linesPerSecond = received / seconds;
  result.listenerUsPerLine = received > 0 ? inReceive / received : -1;
  result.lost = kWriters * kEach - received;
  return result;
}

}  // namespace

int main() {
  unsetenv("NARRO_LOG");
  const double withoutListener = MicrosecondsPerLine(100000);

  std::string error;
  double withListener = 0;
  bool measured = false;
  {
    auto listener = platform::DebugOutputListener::Start(&error);
    if (listener) {
      std::thread reader([&] {
        platform::DebugMessage message;
        while (listener->Receive(&message, 500)) {
        }
      });
      withListener = MicrosecondsPerLine(20000);
      reader.join();
      measured = true;
    }
  }

  double stalled = -1;
  const pid_t child = measured ? StartListenerChild() : -1;
  if (child > 0) {
    kill(child, SIGSTOP);
    stalled = MicrosecondsPerLine(100);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    // The killed listener left its objects and its presence word; a listener
    // that starts and stops cleans them up, so that the next run's "no
    // listener" figure is the usual one, not a crashed listener's.
    platform::DebugOutputListener::Start(&error);
  }

  const Throughput four = FourWriters();

  std::printf("log lines\n  no listener: %.2f us per line\n", withoutListener);
  if (measured) {
    std::printf("  with a listener reading: %.2f us per line\n", withListener);
  } else {
    std::printf("  with a listener: not measured (%s)\n", error.c_str());
  }
  if (stalled >= 0) {
    std::printf("  with a stopped listener (100 lines): %.2f us per line\n", stalled);
  } else {
    std::printf("  with a stopped listener: not measured\n");
  }
  std::printf("  four writers, one listener: %.0f lines per second, listener %.2f us per line "
              "of processor time, %d of 100000 lost\n",
              four.linesPerSecond, four.listenerUsPerLine, four.lost);
  return 0;
}
