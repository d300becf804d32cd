// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerSignals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <narro/Narro.h>

namespace player {

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  // A request to stop ends a library dialog that holds the terminal too;
  // the main loop then ends the player.
  if (number != SIGWINCH) CNarro::InterruptDialog();
  const unsigned char byte = static_cast<unsigned char>(number);
  if (g_signalPipe[1] >= 0 && write(g_signalPipe[1], &byte, 1) < 0) {
  }
  errno = saved;
}

}  // namespace

void CatchSignals() {
  if (g_signalPipe[0] >= 0) return;
  if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int number : {SIGWINCH, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(number, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

int SignalFd() { return g_signalPipe[0]; }

std::vector<int> TakeSignals() {
  std::vector<int> numbers;
  unsigned char number = 0;
  while (g_signalPipe[0] >= 0 && read(g_signalPipe[0], &number, 1) == 1) numbers.push_back(number);
  return numbers;
}

}  // namespace player
