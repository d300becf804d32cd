// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-32 speed, each figure against zlib in the same run:
//  1. crcUpdate against zlib's crc32 on a 256 MiB buffer in memory.
//     Target: at least 4 times zlib's throughput.
//  2. `narro crc` of a 512 MiB file in the page cache, as a whole process,
//     against zlib_crc_file, which reads the same file in 1 MiB blocks
//     through zlib's crc32. Target: narro at least 2.5 times as fast.
// Both must also agree on the CRC. Exits 1 when anything fails.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "games/Identification.h"

extern char** environ;

namespace {

constexpr size_t kBufferSize = 256u << 20;
constexpr size_t kFileSize = 512u << 20;
constexpr int kMemoryRounds = 7;
constexpr int kProcessRounds = 7;
constexpr double kMemoryTarget = 4.0;
constexpr double kProcessTarget = 2.5;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

uint32_t Zlib(const unsigned char* data, size_t size) {
  // crc32 takes an unsigned int length; feed it in pieces that fit.
  uLong crc = crc32(0, Z_NULL, 0);
  while (size > 0) {
    const size_t piece = std::min<size_t>(size, 1u << 30);
    crc = crc32(crc, data, static_cast<uInt>(piece));
    data += piece;
    size -= piece;
  }
  return static_cast<uint32_t>(crc);
}

uint32_t Ours(const unsigned char* data, size_t size) { return crcUpdate(0, data, size); }

template <typename Crc>
double GigabytesPerSecond(const std::vector<unsigned char>& buffer, Crc crc, uint32_t& result) {
  const Clock::time_point start = Clock::now();
  result = crc(buffer.data(), buffer.size());
  return buffer.size() / Seconds(start) / 1e9;
}

struct Run {
  bool ok = false;
  double seconds = 0;
  std::string output;
};

// Runs the program to its end, its standard output caught through a pipe.
// The time covers the whole process: start-up, reading and exit.
Run RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  Run run;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const Clock::time_point start = Clock::now();
  pid_t pid;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return run;
  }
  char chunk[4096];
  ssize_t n;
  while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0) run.output.append(chunk, n);
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.seconds = Seconds(start);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

bool WriteWhole(const std::string& path, const std::vector<unsigned char>& buffer, size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < size) {
    const size_t offset = written % buffer.size();
    const size_t want = std::min(size - written, buffer.size() - offset);
    const ssize_t n = write(fd, buffer.data() + offset, want);
    if (n <= 0) {
      close(fd);
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return close(fd) == 0;
}

const char* Verdict(bool pass) { return pass ? "PASS" : "FAIL"; }

}  // namespace

int main() {
  int failures = 0;
  std::vector<unsigned char> buffer(kBufferSize);
  std::mt19937_64 random(42);
  for (size_t i = 0; i + 8 <= buffer.size(); i += 8) {
    const uint64_t word = random();
    for (int b = 0; b < 8; ++b) buffer[i + b] = static_cast<unsigned char>(word >> (8 * b));
  }

  // 1. In memory. Taking turns, so that a busy machine or a changing clock
  // speed weighs on both alike; the best round of each counts.
  uint32_t ours = 0, theirs = 0;
  double zlibRate = 0, ourRate = 0;
  for (int round = 0; round < kMemoryRounds; ++round) {
    zlibRate = std::max(zlibRate, GigabytesPerSecond(buffer, Zlib, theirs));
    ourRate = std::max(ourRate, GigabytesPerSecond(buffer, Ours, ours));
  }
  const double memoryRatio = ourRate / zlibRate;
  const bool memorySame = ours == theirs;
  const bool memoryPass = memorySame && memoryRatio >= kMemoryTarget;
  failures += !memoryPass;
  std::printf("bench_crc: in memory, %zu MiB buffer, best of %d rounds\n", kBufferSize >> 20,
              kMemoryRounds);
  std::printf("  zlib crc32:  %6.2f GB/s  CRC %s\n", zlibRate, crcText(theirs).c_str());
  std::printf("  crcUpdate:   %6.2f GB/s  CRC %s%s\n", ourRate, crcText(ours).c_str(),
              memorySame ? "" : "  (CRCs differ)");
  std::printf("  ratio:       %6.2f (target >= %.1f)  %s\n", memoryRatio, kMemoryTarget,
              Verdict(memoryPass));

  // 2. Whole processes on a file in the page cache. The file holds the
  // buffer twice over; its CRC is known beforehand.
  char folderTemplate[] = "/tmp/bench_crc.XXXXXX";
  const char* folder = mkdtemp(folderTemplate);
  if (!folder) {
    std::printf("bench_crc: cannot make a temporary folder  FAIL\n");
    return 1;
  }
  const std::string file = std::string(folder) + "/story.z5";
  const std::string tiny = std::string(folder) + "/tiny.z5";
  uint32_t expected = 0;
  for (size_t done = 0; done < kFileSize; done += buffer.size()) {
    expected = crcUpdate(expected, buffer.data(), std::min(buffer.size(), kFileSize - done));
  }
  const std::vector<unsigned char> digits = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  const bool written = WriteWhole(file, buffer, kFileSize) && WriteWhole(tiny, digits, 9);
  buffer.clear();
  buffer.shrink_to_fit();

  std::vector<double> narroTimes, zlibTimes, startTimes, readTimes;
  bool allRan = written, allAgree = written;
  const std::string expectedLine = crcText(expected) + "\t" + file + "\n";
  std::string narroLine, zlibLine;
  if (written) {
    // One untimed run of each first, to settle the page cache and the
    // programs' own pages.
    RunProgram(NARRO_TOOL, {"crc", file});
    RunProgram(ZLIB_CRC_FILE, {file});
    for (int round = 0; round < kProcessRounds; ++round) {
      const Run narro = RunProgram(NARRO_TOOL, {"crc", file});
      const Run zlib = RunProgram(ZLIB_CRC_FILE, {file});
      const Run start = RunProgram(NARRO_TOOL, {"crc", tiny});
      const Run read = RunProgram(ZLIB_CRC_FILE, {"--read-only", file});
      allRan = allRan && narro.ok && zlib.ok && start.ok && read.ok;
      allAgree = allAgree && narro.output == expectedLine && zlib.output == expectedLine;
      narroLine = narro.output;
      zlibLine = zlib.output;
      narroTimes.push_back(narro.seconds);
      zlibTimes.push_back(zlib.seconds);
      startTimes.push_back(start.seconds);
      readTimes.push_back(read.seconds);
    }
  }
  std::remove(file.c_str());
  std::remove(tiny.c_str());
  rmdir(folder);

  const bool timed = !narroTimes.empty();
  const double narroTime = timed ? Median(narroTimes) : 0;
  const double zlibTime = timed ? Median(zlibTimes) : 0;
  const double processRatio = timed && narroTime > 0 ? zlibTime / narroTime : 0;
  const bool processPass = allRan && allAgree && processRatio >= kProcessTarget;
  failures += !processPass;
  std::printf("bench_crc: whole processes, %zu MiB file in the page cache, median of %d runs\n",
              kFileSize >> 20, kProcessRounds);
  if (!written) std::printf("  the file could not be written\n");
  if (timed) {
    std::printf("  zlib_crc_file: %7.1f ms  %.2f GB/s\n", zlibTime * 1e3, kFileSize / zlibTime / 1e9);
    std::printf("  narro crc:     %7.1f ms  %.2f GB/s\n", narroTime * 1e3,
                kFileSize / narroTime / 1e9);
    // Where narro's time goes: no CRC can make these two parts faster.
    std::printf("    narro crc of a 9-byte file (start-up and exit): %.1f ms\n",
                Median(startTimes) * 1e3);
    std::printf("    reading the file in 1 MiB blocks, no CRC:       %.1f ms\n",
                Median(readTimes) * 1e3);
  }
  if (!allRan) std::printf("  a program failed\n");
  if (!allAgree) {
    std::printf("  CRC lines differ: expected %s  narro %s  zlib_crc_file %s",
                expectedLine.c_str(), narroLine.c_str(), zlibLine.c_str());
  } else {
    std::printf("  both print:    %s", expectedLine.c_str());
  }
  std::printf("  ratio:         %7.2f (target >= %.1f)  %s\n", processRatio, kProcessTarget,
              Verdict(processPass));
  std::printf("bench_crc: %d failure%s\n", failures, failures == 1 ? "" : "s");
  return failures == 0 ? 0 : 1;
}
