// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play as the player meets it, measured from outside the process:
//   - from the game's last byte before its prompt to the first audible
//     sample of that turn's text;
//   - from the space that completes a typed word to the first audible
//     sample of its echo;
//   - CPU time and memory of the player while the game waits for input.
// The player runs on a pseudo-terminal of the benchmark's, with its speech
// played at the real audio rate into WAV files; heard.log there says when
// each utterance's first audible sample (over 1000 of 32767) was played,
// on the same monotonic clock the game and this program read.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchFigures.h"
#include "narro/Narro.h"

namespace {

using namespace std::chrono_literals;
constexpr double kTimedOut = INFINITY;

long long MonotonicNs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// narro-play on a pseudo-terminal, its output read and thrown away so that
// it never waits on a full terminal.
class PlayerRun {
 public:
  PlayerRun(const std::string& folder, const std::string& story, const std::string& dfrotz)
      : m_folder(folder) {
    const std::string wav = folder + "/wav/";
    system(("mkdir -p '" + wav + "' '" + folder + "/data' '" + folder + "/config'").c_str());
    struct winsize size {};
    size.ws_col = 80;
    size.ws_row = 24;
    m_pid = forkpty(&m_fd, nullptr, nullptr, &size);
    if (m_pid == 0) {
      setenv("NARRO_SPEECH", ("wav:" + wav).c_str(), 1);
      setenv("NARRO_DATA_DIR", (folder + "/data").c_str(), 1);
      setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
      setenv("NARRO_DFROTZ", dfrotz.c_str(), 1);
      setenv("BENCH_GAME_LOG", (folder + "/game.log").c_str(), 1);
      setenv("TERM", "xterm", 1);
      execl(NARRO_PLAY, NARRO_PLAY, story.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    m_reader = std::thread([this] {
      char buffer[4096];
      while (!m_stop) {
        struct pollfd fd = {m_fd, POLLIN, 0};
        if (poll(&fd, 1, 50) > 0 && read(m_fd, buffer, sizeof buffer) <= 0) break;
      }
    });
  }
  ~PlayerRun() {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
    m_stop = true;
    m_reader.join();
    close(m_fd);
  }
  pid_t Pid() const { return m_pid; }
  void Type(const std::string& bytes) {
    if (write(m_fd, bytes.data(), bytes.size()) < 0) perror("write");
  }
  // The number of the newest utterance whose text contains `text`, waiting
  // up to 3 s for it; 0 when none came.
  int WaitForUtterance(const std::string& text, int after) {
    for (auto until = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < until;) {
      const std::vector<std::string> lines = Lines(ReadFile(m_folder + "/wav/speech.log"));
      for (int i = static_cast<int>(lines.size()); i > after; --i) {
        if (lines[i - 1].find(text) != std::string::npos) return i;
      }
      std::this_thread::sleep_for(1ms);
    }
    return 0;
  }
  void WaitForSilence() {
    std::string last;
    auto stableSince = std::chrono::steady_clock::now();
    for (auto until = stableSince + 60s; std::chrono::steady_clock::now() < until;) {
      std::this_thread::sleep_for(100ms);
      std::string sizes;
      if (DIR* dir = opendir((m_folder + "/wav").c_str())) {
        while (dirent* entry = readdir(dir)) {
          sizes += entry->d_name + std::string(":") +
                   std::to_string(ReadFile(m_folder + "/wav/" + entry->d_name).size()) + " ";
        }
        closedir(dir);
      }
      if (sizes != last || sizes.find(".wav") == std::string::npos) {
        last = sizes;
        stableSince = std::chrono::steady_clock::now();
      } else if (std::chrono::steady_clock::now() - stableSince > 1500ms) {
        return;
      }
    }
  }
  int Utterances() { return static_cast<int>(Lines(ReadFile(m_folder + "/wav/speech.log")).size()); }
  // When utterance `number` was first audible, waiting up to 3 s; -1 if never.
  long long HeardAt(int number) {
    char key[16];
    snprintf(key, sizeof key, "%06d\t", number);
    for (auto until = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < until;) {
      for (const std::string& line : Lines(ReadFile(m_folder + "/wav/heard.log"))) {
        if (line.compare(0, 7, key) == 0) return std::atoll(line.c_str() + 7);
      }
      std::this_thread::sleep_for(1ms);
    }
    return -1;
  }
  long long GameWroteLast(int turn) {
    for (auto until = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < until;) {
      for (const std::string& line : Lines(ReadFile(m_folder + "/game.log"))) {
        if (std::atoi(line.c_str()) == turn && line.find('\t') != std::string::npos) {
          return std::atoll(line.c_str() + line.find('\t') + 1);
        }
      }
      std::this_thread::sleep_for(1ms);
    }
    return -1;
  }

 private:
  std::string m_folder;
  int m_fd = -1;
  pid_t m_pid = -1;
  std::thread m_reader;
  std::atomic<bool> m_stop{false};
};

// CPU time, in nanoseconds, of every thread of a process.
long long CpuNs(pid_t pid) {
  long long total = 0;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      total += std::atoll(ReadFile(tasks + "/" + entry->d_name + "/schedstat").c_str());
    }
    closedir(dir);
  }
  return total;
}

std::string StatusField(pid_t pid, const std::string& field) {
  for (const std::string& line : Lines(ReadFile("/proc/" + std::to_string(pid) + "/status"))) {
    if (line.compare(0, field.size() + 1, field + ":") == 0) {
      std::string value = line.substr(field.size() + 1);
      value.erase(0, value.find_first_not_of(" \t"));
      return value;
    }
  }
  return "?";
}

void Report(const char* what, const std::vector<double>& ms, double target) {
  int failed = 0;
  for (double value : ms) failed += std::isinf(value) ? 1 : 0;
  const double p95 = Percentile(ms, 0.95);
  printf("  %-44s p50 %7.2f ms  p95 %7.2f ms  max %7.2f ms  (%zu, %d never heard)  target p95 <= %.0f ms: %s\n",
         what, Percentile(ms, 0.5), p95, Percentile(ms, 1.0), ms.size(), failed, target,
         p95 <= target ? "met" : "MISSED");
}

}  // namespace

// The same echo asked of the library directly, in a process of its own
// started with the WAV end: what the player adds is the difference.
int DirectEcho(const char* folder) {
  ManagedNARRO narro;
  if (narro.m_facade == nullptr || !narro.m_facade->InitializeSAPI("", 0, 100)) return 1;
  for (int i = 1; i <= 40; ++i) {
    const long long asked = MonotonicNs();
    narro.m_facade->MonitorInput(L"take lamp ");
    char key[16];
    snprintf(key, sizeof key, "%06d\t", i);
    long long heard = -1;
    for (auto until = std::chrono::steady_clock::now() + 3s;
         heard < 0 && std::chrono::steady_clock::now() < until;) {
      for (const std::string& line : Lines(ReadFile(std::string(folder) + "/heard.log"))) {
        if (line.compare(0, 7, key) == 0) heard = std::atoll(line.c_str() + 7);
      }
      if (heard < 0) std::this_thread::sleep_for(1ms);
    }
    printf("%f\n", heard < 0 ? kTimedOut : (heard - asked) / 1e6);
    std::this_thread::sleep_for(50ms);
  }
  return 0;
}

std::vector<double> DirectEchoFigures(const std::string& self, const std::string& folder) {
  std::vector<double> ms;
  system(("mkdir -p '" + folder + "'").c_str());
  const std::string command = "NARRO_SPEECH=wav:'" + folder + "/' '" + self + "' --direct '" + folder + "'";
  if (FILE* child = popen(command.c_str(), "r")) {
    char line[64];
    while (fgets(line, sizeof line, child) != nullptr) ms.push_back(std::atof(line));
    pclose(child);
  }
  return ms;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--direct") return DirectEcho(argv[2]);
  char folderTemplate[] = "/tmp/narro-bench-player-XXXXXX";
  const std::string folder = mkdtemp(folderTemplate);
  constexpr int kTurns = 40;
  printf("narro-play, measured from outside (%d turns)\n", kTurns);

  std::vector<double> turnMs;
  std::vector<double> echoMs;
  {
    // The player wants a readable, non-empty story; the stand-in ignores it.
    const std::string story = folder + "/story.z5";
    system(("printf 'not read by the stand-in game' > '" + story + "'").c_str());
    PlayerRun run(folder + "/turns", story, BENCH_GAME);
    const int first = run.WaitForUtterance(", turn 0.", 0);
    if (first == 0) printf("  the first turn was never spoken\n");
    for (int turn = 1; turn <= kTurns; ++turn) {
      // A word, then the space that completes it: its echo.
      const std::string word = "lamp";
      run.Type(word);
      std::this_thread::sleep_for(30ms);
      const int before = run.Utterances();
      const long long typed = MonotonicNs();
      run.Type(" ");
      const int echo = run.WaitForUtterance(word, before);
      const long long echoHeard = echo > 0 ? run.HeardAt(echo) : -1;
      echoMs.push_back(echoHeard < 0 ? kTimedOut : (echoHeard - typed) / 1e6);
      // Enter: the game answers with a new turn.
      const int beforeTurn = run.Utterances();
      run.Type("\r");
      const std::string marker = ", turn " + std::to_string(turn) + ".";
      const int spoken = run.WaitForUtterance(marker, beforeTurn);
      const long long heard = spoken > 0 ? run.HeardAt(spoken) : -1;
      const long long wrote = run.GameWroteLast(turn);
      turnMs.push_back(heard < 0 || wrote < 0 ? kTimedOut : (heard - wrote) / 1e6);
      std::this_thread::sleep_for(50ms);
    }
  }
  Report("game's last byte -> first audible sample", turnMs, 30);
  Report("space after a word -> first audible echo", echoMs, 5);
  // Like with like: the same word's echo, the library called directly.
  Report("the same echo, MonitorInput called directly", DirectEchoFigures(argv[0], folder + "/direct"), 5);

  // Idle: the real dfrotz on a real story, the player waiting for a command.
  {
    PlayerRun run(folder + "/idle", DEMO_STORY, "/usr/games/dfrotz");
    // The opening text is spoken out first (the device plays in real
    // time): the speech files stop growing for a second and a half.
    run.WaitForSilence();
    const long long before = CpuNs(run.Pid());
    std::this_thread::sleep_for(10s);
    const double idleMs = (CpuNs(run.Pid()) - before) / 1e6;
    printf("  %-44s %7.3f ms over 10 s  target <= 10 ms: %s\n", "player CPU while the game waits", idleMs,
           idleMs <= 10 ? "met" : "MISSED");
    printf("  %-44s VmRSS %s, VmHWM %s, threads %s\n", "player memory while the game waits",
           StatusField(run.Pid(), "VmRSS").c_str(), StatusField(run.Pid(), "VmHWM").c_str(),
           StatusField(run.Pid(), "Threads").c_str());
  }
  system(("rm -rf '" + folder + "'").c_str());
  return 0;
}
