// SPDX-License-Identifier: GPL-3.0-or-later
// The window layer's costs: the bytes one Down writes to the terminal in a
// list of 10,000 entries (the demo host in a pseudo-terminal), and how long
// a list of 10,000 entries takes to open, in the terminal and without one.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/win/Dialog.h"
#include "platform/win/ScriptedDialogIo.h"

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Reads what the program writes until it has been quiet for quietMs, or
// until `until` has been seen (then quiet afterwards). The bytes read.
std::string ReadUntilQuiet(int fd, int quietMs, const std::string& until = std::string()) {
  std::string got;
  for (;;) {
    pollfd ready{fd, POLLIN, 0};
    const bool seen = until.empty() || got.find(until) != std::string::npos;
    const int polled = poll(&ready, 1, seen ? quietMs : 10000);
    if (polled <= 0) return got;
    char buffer[65536];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return got;
    got.append(buffer, static_cast<size_t>(n));
  }
}

void TerminalFigures(const char* demo) {
  int master = -1;
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  const Clock::time_point start = Clock::now();
  const pid_t child = forkpty(&master, nullptr, nullptr, &size);
  if (child < 0) {
    std::perror("forkpty");
    return;
  }
  if (child == 0) {
    setenv("TERM", "xterm", 1);
    unsetenv("NARRO_KEYS");
    execl(demo, demo, "list", "10000", static_cast<char*>(nullptr));
    _exit(127);
  }
  // The first drawing ends with the cursor placed on the current entry.
  std::string first;
  for (;;) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) break;
    char buffer[65536];
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    first.append(buffer, static_cast<size_t>(n));
    if (first.find("> entry 00001") != std::string::npos && first.find("Cancel") != std::string::npos) break;
  }
  const double openMs = Milliseconds(start);
  first += ReadUntilQuiet(master, 300);
  std::printf("terminal 80x24, list of 10,000 entries: first drawing after %.1f ms "
              "(process start included), %zu bytes\n", openMs, first.size());

  // xterm's Down key in keypad mode.
  const std::string down = "\x1bOB";
  for (int i = 0; i < 3; ++i) {
    if (write(master, down.data(), down.size()) != static_cast<ssize_t>(down.size())) break;
    const std::string written = ReadUntilQuiet(master, 300, "entry");
    std::printf("one Down: %zu bytes written to the terminal (at most 200 allowed)\n",
                written.size());
  }
  if (write(master, "\x1b", 1) != 1) kill(child, SIGTERM);
  ReadUntilQuiet(master, 500);
  int status = 0;
  waitpid(child, &status, 0);
  close(master);
}

class Filling : public Dialog {
 public:
  explicit Filling(const std::vector<std::wstring>& entries) : m_entries(entries) {}

 protected:
  bool DialogProc(UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message != WM_INITDIALOG) return false;
    HWND list = GetDlgItem(IDC_LIST);
    for (size_t i = 0; i < m_entries.size(); ++i) {
      const LRESULT at = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_entries[i].c_str()));
      SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    }
    SendMessage(list, LB_SETCURSEL, 0);
    result = 1;
    return true;
  }

 private:
  const std::vector<std::wstring>& m_entries;
};

void HeadlessFigures() {
  std::vector<std::wstring> entries;
  for (int i = 0; i < 10000; ++i) {
    entries.push_back(L"Game number " + std::to_wstring(100000 + i) + L" of the catalogue");
  }
  const std::vector<std::wstring> ordered = entries;
  std::mt19937 random(42);
  std::shuffle(entries.begin(), entries.end(), random);
  for (const std::vector<std::wstring>* list : {&ordered, static_cast<const std::vector<std::wstring>*>(&entries)}) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      ScriptedDialogIo io(L"<Esc>", 80, 24);
      ScopedDialogIo replaced(io);
      Filling dialog(*list);
      const Clock::time_point start = Clock::now();
      dialog.DoModal(nullptr, IDD_SELECT);
      best = std::min(best, Milliseconds(start));
    }
    std::printf("opening a list of 10,000 entries given %s, filled, laid out and closed: "
                "%.2f ms (best of 5; at most 50 allowed)\n",
                list == &ordered ? "in order" : "in random order", best);
  }
}

}  // namespace

int main() {
  HeadlessFigures();
  TerminalFigures(NARRO_WIN_DEMO);
  return 0;
}
