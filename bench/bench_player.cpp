// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play as the player meets it, measured from outside the process, on
// the demo story compiled for the Z-machine and for Glulx (the same story,
// so the two interpreters are compared like with like in one run):
//   - from Enter to the first audible sample of the game's reply;
//   - from the exec of narro-play to the first audible sample of the banner;
//   - CPU time of the player and its interpreter together while the game
//     waits for a command, and the memory both hold.
// The player runs on a pseudo-terminal of the benchmark's, with its speech
// played at the real audio rate into WAV files; heard.log there says when
// each utterance's first audible sample (over 1000 of 32767) was played,
// on the same monotonic clock this program reads.
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

#include "player/Cage.h"
#include "player/SmallFiles.h"
#include "player/Interpreter.h"
#include "player/InterpreterCommand.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchFigures.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr double kNeverHeard = INFINITY;

// Targets: what a player notices.
constexpr double kTurnP95Ms = 15;
constexpr double kStartMaxMs = 400;
constexpr double kIdleCpuMs = 10;
// A reply or a banner not heard this long after it was asked for counts as
// a failure: it was never heard.
constexpr auto kReplyBound = 3s;
constexpr auto kBannerBound = 10s;

constexpr int kTurns = 40;
constexpr int kStarts = 5;
// What the cage may add to an interpreter's start.
constexpr double kCageCostMs = 5;
constexpr auto kIdleTime = 10s;

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

// The complete lines of a file another process is still writing: a last
// line without its newline is not there yet.
std::vector<std::string> WholeLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', from)) {
    lines.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
    fields.push_back(line.substr(from, tab - from));
    from = tab + 1;
  }
  fields.push_back(line.substr(from));
  return fields;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

struct Story {
  const char* format;
  const char* vm;  // emglken's name for its interpreter
  std::string path;
};

// narro-play on a pseudo-terminal, in a folder of its own (data, settings,
// speech). Its screen is read and kept short, so that it never waits on a
// full terminal and a failure can be shown.
class PlayerRun {
 public:
  PlayerRun(const std::string& folder, const std::string& story) : m_folder(folder) {
    m_wav = folder + "/wav";
    system(("mkdir -p '" + m_wav + "' '" + folder + "/data' '" + folder + "/config'").c_str());
    int started[2];
    if (pipe2(started, O_CLOEXEC) != 0) perror("pipe2");
    struct winsize size {};
    size.ws_col = 80;
    size.ws_row = 24;
    m_pid = forkpty(&m_fd, nullptr, nullptr, &size);
    if (m_pid == 0) {
      setenv("NARRO_SPEECH", ("wav:" + m_wav + "/").c_str(), 1);
      setenv("NARRO_DATA_DIR", (folder + "/data").c_str(), 1);
      setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
      // Whatever end is chosen, the machine's speech-dispatcher is never
      // reached: nobody serves this socket.
      setenv("SPEECHD_ADDRESS", ("unix_socket:" + folder + "/nobody.sock").c_str(), 1);
      setenv("TERM", "xterm", 1);
      // The start is timed from the exec itself.
      const long long now = MonotonicNs();
      if (write(started[1], &now, sizeof now) != sizeof now) _exit(126);
      execl(NARRO_PLAY, NARRO_PLAY, story.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(started[1]);
    if (m_pid < 0 || read(started[0], &m_execAt, sizeof m_execAt) != sizeof m_execAt) m_execAt = -1;
    close(started[0]);
    m_reader = std::thread([this] {
      char buffer[4096];
      while (!m_stop) {
        struct pollfd fd = {m_fd, POLLIN, 0};
        if (poll(&fd, 1, 50) <= 0) continue;
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n <= 0) break;
        // A terminal answers where its cursor is (the player asks when the
        // status rows first appear); this one says the bottom row.
        if (std::string(buffer, static_cast<size_t>(n)).find("\x1b[6n") != std::string::npos) {
          const char report[] = "\x1b[24;1R";
          if (write(m_fd, report, sizeof report - 1) < 0) perror("write");
        }
        std::lock_guard<std::mutex> lock(m_screenLock);
        m_terminalBytes += static_cast<size_t>(n);
        m_screen.append(buffer, static_cast<size_t>(n));
        if (m_screen.size() > 8192) m_screen.erase(0, m_screen.size() - 4096);
      }
    });
  }
  ~PlayerRun() {
    // The interpreter has a process group of its own; should the player
    // leave it behind, it goes too.
    const std::vector<pid_t> interpreters = Children();
    kill(m_pid, SIGTERM);
    int status = 0;
    for (auto until = Clock::now() + 3s; waitpid(m_pid, &status, WNOHANG) == 0;) {
      if (Clock::now() > until) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(5ms);
    }
    for (pid_t child : interpreters) kill(-child, SIGKILL);
    m_stop = true;
    m_reader.join();
    close(m_fd);
  }

  pid_t Pid() const { return m_pid; }
  long long ExecAt() const { return m_execAt; }
  void Type(const std::string& bytes) {
    if (write(m_fd, bytes.data(), bytes.size()) < 0) perror("write");
  }
  // What the screen showed last, control sequences and all, for a failure.
  // Everything the terminal has been sent so far.
  size_t TerminalBytes() {
    std::lock_guard<std::mutex> lock(m_screenLock);
    return m_terminalBytes;
  }

  std::string ScreenTail() {
    std::lock_guard<std::mutex> lock(m_screenLock);
    std::string tail = m_screen.size() > 300 ? m_screen.substr(m_screen.size() - 300) : m_screen;
    for (char& c : tail) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\n') c = ' ';
    }
    return tail;
  }

  // Requests so far, one a line: flags, rate, volume, voice, text.
  int Requests() { return static_cast<int>(WholeLines(ReadFile(m_wav + "/speech.log")).size()); }
  // The number of the first request after `after` that says something (a
  // purge says nothing), waiting until `until`; 0 when none came.
  int FirstSpokenAfter(int after, Clock::time_point until) {
    for (;;) {
      const std::vector<std::string> lines = WholeLines(ReadFile(m_wav + "/speech.log"));
      for (size_t i = static_cast<size_t>(after); i < lines.size(); ++i) {
        const std::vector<std::string> fields = Fields(lines[i]);
        if (fields.size() >= 5 && !Trimmed(fields[4]).empty()) return static_cast<int>(i + 1);
      }
      if (Clock::now() >= until) return 0;
      std::this_thread::sleep_for(1ms);
    }
  }
  std::string RequestText(int number) {
    const std::vector<std::string> lines = WholeLines(ReadFile(m_wav + "/speech.log"));
    if (number < 1 || number > static_cast<int>(lines.size())) return std::string();
    const std::vector<std::string> fields = Fields(lines[static_cast<size_t>(number - 1)]);
    return fields.size() >= 5 ? fields[4] : std::string();
  }
  // When utterance `number` was first audible, waiting until `until`; -1
  // if it was not by then.
  long long HeardAt(int number, Clock::time_point until) {
    for (;;) {
      for (const std::string& line : WholeLines(ReadFile(m_wav + "/heard.log"))) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() == 2 && std::atoi(fields[0].c_str()) == number) return std::atoll(fields[1].c_str());
      }
      if (Clock::now() >= until) return -1;
      std::this_thread::sleep_for(1ms);
    }
  }

  // The player's child processes: the interpreter.
  std::vector<pid_t> Children() const {
    std::vector<pid_t> children;
    const std::string list =
        ReadFile("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid) + "/children");
    std::stringstream in(list);
    for (pid_t child; in >> child;) children.push_back(child);
    return children;
  }

 private:
  std::string m_folder;
  std::string m_wav;
  int m_fd = -1;
  pid_t m_pid = -1;
  long long m_execAt = -1;
  std::thread m_reader;
  std::atomic<bool> m_stop{false};
  std::mutex m_screenLock;
  std::string m_screen;
  size_t m_terminalBytes = 0;
};

// A process and all its descendants.
void Family(pid_t pid, std::vector<pid_t>& family) {
  family.push_back(pid);
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::stringstream in(ReadFile(tasks + "/" + entry->d_name + "/children"));
      for (pid_t child; in >> child;) Family(child, family);
    }
    closedir(dir);
  }
}

// The process's name, and its user and system time (finished threads
// included) in clock ticks, from /proc/PID/stat.
std::string StatName(pid_t pid, long long& ticks) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  ticks = 0;
  const size_t open = stat.find('(');
  const size_t close = stat.rfind(')');
  if (open == std::string::npos || close == std::string::npos) return "?";
  // After the name: state is field 3, utime 14, stime 15.
  std::stringstream in(stat.substr(close + 2));
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  if (fields.size() > 12) ticks = std::atoll(fields[11].c_str()) + std::atoll(fields[12].c_str());
  return stat.substr(open + 1, close - open - 1);
}

// Run time in nanoseconds of every living thread of a process, from
// schedstat: finer than the clock ticks of stat.
long long RunNs(pid_t pid) {
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
  for (const std::string& line : WholeLines(ReadFile("/proc/" + std::to_string(pid) + "/status"))) {
    if (line.compare(0, field.size() + 1, field + ":") == 0) return Trimmed(line.substr(field.size() + 1));
  }
  return "?";
}

const char* Verdict(bool met) { return met ? "PASS" : "MISS"; }

int Failures(const std::vector<double>& ms) {
  int failed = 0;
  for (double value : ms) failed += std::isinf(value) ? 1 : 0;
  return failed;
}

// A percentile with no value (NaN) fails every target: the comparisons
// below are written so that NaN makes them false.
void ReportTurns(const Story& story, const std::vector<double>& ms) {
  const double p95 = Percentile(ms, 0.95);
  const bool met = p95 <= kTurnP95Ms;
  printf("  %-6s Enter -> reply heard   p50 %7.1f  p95 %7.1f  max %7.1f ms  (%zu turns, %d never heard)"
         "  target p95 <= %.0f ms  %s\n",
         story.format, Percentile(ms, 0.5), p95, Percentile(ms, 1.0), ms.size(), Failures(ms), kTurnP95Ms,
         Verdict(met));
}

void ReportStarts(const Story& story, const std::vector<double>& ms) {
  const double max = Percentile(ms, 1.0);
  const bool met = max <= kStartMaxMs;
  printf("  %-6s exec -> banner heard   p50 %7.1f  max %7.1f ms  (%zu starts, %d never heard)"
         "  target max <= %.0f ms  %s\n",
         story.format, Percentile(ms, 0.5), max, ms.size(), Failures(ms), kStartMaxMs, Verdict(met));
}

// Plays the story: looks and takes inventory in turn, each a reply of its
// own, typed while the last reply is still being said (as a player who
// has heard enough does), so that Enter also cuts that reply off.
std::vector<double> PlayTurns(const Story& story, PlayerRun& run) {
  std::vector<double> ms;
  const int banner = run.FirstSpokenAfter(0, Clock::now() + kBannerBound);
  if (banner == 0 || run.HeardAt(banner, Clock::now() + kBannerBound) < 0) {
    printf("  the banner was never heard; the screen ended with:\n%s\n", run.ScreenTail().c_str());
  }
  const size_t bytesBefore = run.TerminalBytes();
  for (int turn = 0; turn < kTurns; ++turn) {
    std::this_thread::sleep_for(300ms);
    for (char c : std::string(turn % 2 == 0 ? "inventory" : "look")) {
      run.Type(std::string(1, c));
      std::this_thread::sleep_for(15ms);
    }
    std::this_thread::sleep_for(100ms);
    const int before = run.Requests();
    const long long enter = MonotonicNs();
    run.Type("\r");
    const Clock::time_point until = Clock::now() + kReplyBound;
    const int reply = run.FirstSpokenAfter(before, until);
    const long long heard = reply > 0 ? run.HeardAt(reply, until) : -1;
    ms.push_back(heard < 0 ? kNeverHeard : (heard - enter) / 1e6);
  }
  // What a braille display or a slow link is sent a turn: the command's
  // echo, the reply, the status line redrawn at the top.
  std::this_thread::sleep_for(300ms);
  printf("  %-6s terminal bytes a turn  mean %7.0f  (%d turns; reported, no target)\n", story.format,
         static_cast<double>(run.TerminalBytes() - bytesBefore) / kTurns, kTurns);
  return ms;
}

// The player and its interpreter while the game waits for a command and
// nothing is being said.
void ReportIdle(const Story& story, PlayerRun& run) {
  run.Type("\x1b");  // Escape: stop speaking
  std::this_thread::sleep_for(1500ms);
  std::vector<pid_t> family;
  Family(run.Pid(), family);
  std::vector<long long> ticksBefore(family.size());
  std::vector<long long> nsBefore(family.size());
  for (size_t i = 0; i < family.size(); ++i) {
    StatName(family[i], ticksBefore[i]);
    nsBefore[i] = RunNs(family[i]);
  }
  std::this_thread::sleep_for(kIdleTime);
  const double msPerTick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  double statMs = 0;
  double runMs = 0;
  std::string who;
  std::string memory;
  for (size_t i = 0; i < family.size(); ++i) {
    long long ticks = 0;
    const std::string name = StatName(family[i], ticks);
    const double processStatMs = static_cast<double>(ticks - ticksBefore[i]) * msPerTick;
    const double processRunMs = (RunNs(family[i]) - nsBefore[i]) / 1e6;
    statMs += processStatMs;
    runMs += processRunMs;
    char part[160];
    snprintf(part, sizeof part, "%s%s %.2f ms", who.empty() ? "" : ", ", name.c_str(), processRunMs);
    who += part;
    memory += (memory.empty() ? "" : ", ") + name + " " + StatusField(family[i], "VmRSS");
  }
  // utime+stime counts whole ticks, schedstat the living threads only: the
  // larger of the two is judged.
  const double cpuMs = std::max(statMs, runMs);
  const bool met = cpuMs < kIdleCpuMs;
  printf("  %-6s CPU while waiting      %7.2f ms over %lld s (utime+stime %.0f ms; %s)"
         "  target < %.0f ms  %s\n",
         story.format, cpuMs, static_cast<long long>(kIdleTime.count()), statMs, who.c_str(), kIdleCpuMs,
         Verdict(met));
  printf("  %-6s memory while waiting   VmRSS %s  (reported, no target)\n", story.format, memory.c_str());
}

// Like with like: the interpreter narro-play starts, started the same way
// without the player, from its spawn to its first update asking for input.
// What the player's start takes beyond this is the player's own.
double InterpreterAloneMs(const Story& story, const char* runner) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return kNeverHeard;
  const long long spawned = MonotonicNs();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    execlp("node", "node", "--no-memory-reducer", runner, "--vm", story.vm, "--rem=true", "--",
           story.path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  const std::string init =
      "{\"type\":\"init\",\"gen\":0,\"metrics\":{\"width\":80,\"height\":24,\"charwidth\":1,"
      "\"charheight\":1},\"support\":[\"timer\",\"hyperlinks\"]}\n";
  double ms = kNeverHeard;
  if (pid > 0 && write(in[1], init.data(), init.size()) == static_cast<ssize_t>(init.size())) {
    std::string answer;
    char buffer[65536];
    for (const Clock::time_point until = Clock::now() + kBannerBound; Clock::now() < until;) {
      struct pollfd fd = {out[0], POLLIN, 0};
      if (poll(&fd, 1, 50) <= 0) continue;
      const ssize_t n = read(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      answer.append(buffer, static_cast<size_t>(n));
      // The update is one JSON object; its input request closes it.
      if (answer.find("\"input\"") != std::string::npos && answer.find("}\n") != std::string::npos) {
        ms = (MonotonicNs() - spawned) / 1e6;
        break;
      }
    }
  }
  close(in[1]);
  close(out[0]);
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  return ms;
}

// The interpreter the player would start for the story, from its spawn to
// its first update asking for input: started in its cage as the player
// starts it, or without the cage (its own environment, the story's folder),
// so that what the cage costs a start is measured like with like.
double InterpreterStartMs(const Story& story, bool caged) {
  player::InterpreterLaunch launch;
  std::string error;
  if (!player::InterpreterCommand("", story.vm, story.path, launch, error)) return kNeverHeard;
  player::PrivateFolder folder;
  if (!folder.Make(error)) return kNeverHeard;
  player::Interpreter interpreter;
  const long long spawned = MonotonicNs();
  const bool started = caged ? player::StartCaged(interpreter, launch, story.path, folder.Path(), true, error)
                             : interpreter.Start(launch.argv, player::FolderOf(story.path), error);
  if (!started) return kNeverHeard;
  const std::string init =
      "{\"type\":\"init\",\"gen\":0,\"metrics\":{\"width\":80,\"height\":24,\"charwidth\":1,"
      "\"charheight\":1},\"support\":[\"timer\",\"hyperlinks\"]}\n";
  if (!interpreter.Write(init)) return kNeverHeard;
  std::string answer;
  for (const Clock::time_point until = Clock::now() + kBannerBound; Clock::now() < until;) {
    struct pollfd fds[2] = {{interpreter.OutputFd(), POLLIN, 0}, {interpreter.ErrorFd(), POLLIN, 0}};
    poll(fds, 2, 50);
    interpreter.ReadErrors();
    if (!interpreter.ReadOutput(answer)) break;
    if (answer.find("\"input\"") != std::string::npos && answer.find("}\n") != std::string::npos) {
      return (MonotonicNs() - spawned) / 1e6;
    }
  }
  return kNeverHeard;
}

std::string Load() {
  std::string load = ReadFile("/proc/loadavg");
  load = load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
  return load + " on " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " CPUs";
}

}  // namespace

int main() {
  // A player's desktop has no NODE_EXTRA_CA_CERTS (it costs Node 40 ms a
  // start); the player keeps it from its interpreters, and so does this.
  unsetenv("NODE_EXTRA_CA_CERTS");
  char folderTemplate[] = "/tmp/narro-bench-player-XXXXXX";
  const std::string folder = mkdtemp(folderTemplate);
  const std::vector<Story> stories = {{"Z-code", "bocfel", NARRO_STORIES_DIR "/windfall.z5"},
                                      {"Glulx", "glulxe", NARRO_STORIES_DIR "/windfall.ulx"}};
  printf("narro-play, measured from outside (Windfall; load average %s)\n", Load().c_str());
  int runs = 0;
  auto next = [&] { return folder + "/run" + std::to_string(++runs); };

  // The starts, the two formats and the interpreters alone taking turns so
  // that all meet the same load.
  std::vector<std::vector<double>> starts(stories.size());
  // The interpreter as the player starts it (emglken's runner bundled into
  // one file at set-up), and from emglken's own runner, whose hundreds of
  // module files the bundle saves loading.
  std::vector<std::vector<double>> alone(stories.size());
  std::vector<std::vector<double>> unbundled(stories.size());
  std::vector<std::vector<double>> caged(stories.size());
  std::vector<std::vector<double>> uncaged(stories.size());
  for (int round = 0; round < kStarts; ++round) {
    for (size_t s = 0; s < stories.size(); ++s) {
      PlayerRun run(next(), stories[s].path);
      const Clock::time_point until = Clock::now() + kBannerBound;
      const int banner = run.FirstSpokenAfter(0, until);
      const long long heard = banner > 0 ? run.HeardAt(banner, until) : -1;
      starts[s].push_back(heard < 0 || run.ExecAt() < 0 ? kNeverHeard : (heard - run.ExecAt()) / 1e6);
      if (heard < 0) printf("  %s: the banner was never heard; the screen ended with:\n%s\n",
                            stories[s].format, run.ScreenTail().c_str());
    }
    for (size_t s = 0; s < stories.size(); ++s) {
      alone[s].push_back(InterpreterAloneMs(stories[s], NARRO_EMGLKEN_RUNNER));
      unbundled[s].push_back(InterpreterAloneMs(stories[s], NARRO_EMGLKEN_OWN_RUNNER));
      for (int twice = 0; twice < 2; ++twice) {
        caged[s].push_back(InterpreterStartMs(stories[s], true));
        uncaged[s].push_back(InterpreterStartMs(stories[s], false));
      }
    }
  }
  for (size_t s = 0; s < stories.size(); ++s) {
    ReportStarts(stories[s], starts[s]);
    printf("  %-6s   interpreter alone: spawn -> first update  p50 %7.1f  max %7.1f ms  (%d never answered;"
           " reported, no target)\n",
           stories[s].format, Percentile(alone[s], 0.5), Percentile(alone[s], 1.0), Failures(alone[s]));
    printf("  %-6s   emglken's own runner: spawn -> first update  p50 %7.1f  max %7.1f ms  (%d never answered;"
           " reported, no target)\n",
           stories[s].format, Percentile(unbundled[s], 0.5), Percentile(unbundled[s], 1.0),
           Failures(unbundled[s]));
    const double cost = Percentile(caged[s], 0.5) - Percentile(uncaged[s], 0.5);
    printf("  %-6s   in its cage: spawn -> first update  p50 %7.1f  p95 %7.1f ms; without: p50 %7.1f  p95 %7.1f ms"
           "  (%d and %d never answered)\n",
           stories[s].format, Percentile(caged[s], 0.5), Percentile(caged[s], 0.95), Percentile(uncaged[s], 0.5),
           Percentile(uncaged[s], 0.95), Failures(caged[s]), Failures(uncaged[s]));
    printf("  %-6s   the cage's cost to a start: p50 %+.1f ms  target <= %.0f ms  %s\n", stories[s].format, cost,
           kCageCostMs, Verdict(Failures(caged[s]) == 0 && Failures(uncaged[s]) == 0 && cost <= kCageCostMs));
  }

  for (const Story& story : stories) {
    PlayerRun run(next(), story.path);
    const std::vector<double> turns = PlayTurns(story, run);
    ReportTurns(story, turns);
    ReportIdle(story, run);
  }
  printf("  load average at the end %s\n", Load().c_str());
  system(("rm -rf '" + folder + "'").c_str());
  return 0;
}
