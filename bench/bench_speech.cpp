// Speech latency: how soon a completed word is heard, how soon a purge
// silences a long paragraph, compared with starting espeak-ng itself, and
// what speaking a megabyte leaves behind in memory.
//
// The sound card is stood in for by an audio end that plays at the real
// audio rate (the WAV end, into a temporary folder) and notes when samples
// arrive.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/LibraryLifetime.h"
#include "narro/Narro.h"
#include "platform/sapi/AudioEnd.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// What the stand-in sound card saw, shared with the benchmark.
struct Arrivals {
  std::mutex lock;
  std::condition_variable changed;
  uint64_t utterances = 0;         // BeginUtterance calls
  uint64_t utterancesWithAudio = 0;
  Clock::time_point firstSample;   // of the latest utterance
  Clock::time_point lastFlush;
  uint64_t flushes = 0;
};

Arrivals g_arrivals;

class TimedEnd : public platform::AudioEnd {
 public:
  explicit TimedEnd(const std::string& dir) : m_inner(platform::MakeWavFileEnd(dir)) {}
  bool Open(int rate) override { return m_inner->Open(rate); }
  void BeginUtterance(uint64_t number) override {
    m_inner->BeginUtterance(number);
    const std::lock_guard<std::mutex> guard(g_arrivals.lock);
    ++g_arrivals.utterances;
    m_fresh = true;
  }
  void Write(const int16_t* samples, size_t count) override {
    if (m_fresh) {
      m_fresh = false;
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      g_arrivals.firstSample = Clock::now();
      ++g_arrivals.utterancesWithAudio;
      g_arrivals.changed.notify_all();
    }
    m_inner->Write(samples, count);
  }
  void Flush() override {
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      g_arrivals.lastFlush = Clock::now();
      ++g_arrivals.flushes;
      g_arrivals.changed.notify_all();
    }
    m_inner->Flush();
  }
  void Drain() override { m_inner->Drain(); }
  void EndUtterance() override { m_inner->EndUtterance(); }

 private:
  std::unique_ptr<platform::AudioEnd> m_inner;
  bool m_fresh = false;
};

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(p * (values.size() - 1) + 0.5);
  return values[index];
}

bool WaitFor(uint64_t Arrivals::*counter, uint64_t target) {
  std::unique_lock<std::mutex> lock(g_arrivals.lock);
  return g_arrivals.changed.wait_for(lock, 2s, [&] { return g_arrivals.*counter >= target; });
}

const char* const kWords[] = {"north", "take", "lamp", "open", "the", "mailbox", "read",
                              "leaflet", "go", "west", "climb", "tree", "examine", "egg"};

std::vector<double> EchoLatencies(CNarro& narro, int count) {
  std::vector<double> latencies;
  std::string line;
  for (int i = 0; i < count; ++i) {
    const std::string word = kWords[i % (sizeof kWords / sizeof *kWords)];
    for (size_t typed = 1; typed < word.size(); ++typed) {
      narro.MonitorInput((line + word.substr(0, typed)).c_str());
    }
    line += word + " ";
    uint64_t before;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      before = g_arrivals.utterancesWithAudio;
    }
    const Clock::time_point typedAt = Clock::now();
    narro.MonitorInput(line.c_str());
    if (!WaitFor(&Arrivals::utterancesWithAudio, before + 1)) continue;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      latencies.push_back(Ms(g_arrivals.firstSample - typedAt));
    }
    if (line.size() > 200) line.clear();
    // A quick typist: the next word comes while this one is still heard.
    std::this_thread::sleep_for(std::chrono::milliseconds(80 + (i * 37) % 150));
  }
  return latencies;
}

std::vector<double> PurgeLatencies(CNarro& narro, int count) {
  const std::string paragraph =
      "The lighthouse keeper climbed the spiral stairs every evening, counting each of the "
      "two hundred steps, and lit the great lamp that warned the fishing boats away.";
  std::vector<double> latencies;
  for (int i = 0; i < count; ++i) {
    narro.Speak(paragraph, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300 + 20 * i));
    uint64_t flushesBefore;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      flushesBefore = g_arrivals.flushes;
    }
    const Clock::time_point asked = Clock::now();
    narro.Speak("stop", 3);
    if (!WaitFor(&Arrivals::flushes, flushesBefore + 1)) continue;
    const std::lock_guard<std::mutex> guard(g_arrivals.lock);
    latencies.push_back(Ms(g_arrivals.lastFlush - asked));
  }
  narro.Speak("", 2);
  return latencies;
}

// Starting espeak-ng --stdout on one word until its first byte of audio.
double EspeakProcessFirstByteMs() {
  std::vector<double> times;
  for (int i = 0; i < 10; ++i) {
    const Clock::time_point start = Clock::now();
    FILE* pipe = popen("espeak-ng --stdout north 2>/dev/null", "r");
    if (!pipe) return 0;
    const int first = fgetc(pipe);
    const Clock::time_point got = Clock::now();
    while (fgetc(pipe) != EOF) {
    }
    pclose(pipe);
    if (first != EOF) times.push_back(Ms(got - start));
  }
  return times.empty() ? 0 : Percentile(times, 0.5);
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Stands in for the sound card, which the machines that run this lack.
class TimedSoundCard : public platform::SoundCard {
 public:
  explicit TimedSoundCard(std::string folder) : m_folder(std::move(folder)) {}
  std::unique_ptr<platform::AudioEnd> MakeEnd() override {
    return std::make_unique<TimedEnd>(m_folder);
  }

 private:
  std::string m_folder;
};

}  // namespace

int main() {
  char dir[] = "/tmp/narro-bench-speech-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string folder = std::string(dir) + "/";
  setenv("NARRO_SPEECH", "audio", 1);
  setenv("NARRO_DATA_DIR", dir, 1);
  TimedSoundCard timed(folder);
  platform::ScopedSoundCard useTimed(timed);

  AttachLibrary();
  CNarro& narro = CNarro::GetSingleton();
  if (!narro.InitializeSAPI("", 0, 100)) {
    fprintf(stderr, "bench_speech: no speech\n");
    return 1;
  }
  narro.Speak("ready", 0);  // voice loaded, caches warm

  const std::vector<double> echo = EchoLatencies(narro, 240);
  const std::vector<double> purge = PurgeLatencies(narro, 20);
  const double espeakFirstByte = EspeakProcessFirstByteMs();

  const long before = ResidentKb();
  std::string megabyte;
  while (megabyte.size() < (1u << 20)) megabyte += "word ";
  for (int round = 0; round < 3; ++round) {
    narro.Speak(megabyte, 1);
    std::this_thread::sleep_for(300ms);
    narro.Speak("", 2);
  }
  std::this_thread::sleep_for(200ms);
  const long after = ResidentKb();

  narro.release();
  DetachLibrary();
  system((std::string("rm -rf ") + dir).c_str());

  const double echoP50 = Percentile(echo, 0.5);
  printf("speech benchmark (audio end at the real rate)\n");
  printf("  echo latency, %zu words: p50 %.2f ms, p95 %.2f ms, max %.2f ms (target p95 <= 5 ms)\n",
         echo.size(), echoP50, Percentile(echo, 0.95), Percentile(echo, 1.0));
  printf("  purge latency, %zu paragraphs: p50 %.2f ms, max %.2f ms (target <= 20 ms)\n",
         purge.size(), Percentile(purge, 0.5), Percentile(purge, 1.0));
  printf("  espeak-ng --stdout first byte: %.2f ms; ours / theirs = %.3f (target <= 0.2)\n",
         espeakFirstByte, espeakFirstByte > 0 ? echoP50 / espeakFirstByte : 0.0);
  printf("  memory: %ld kB before, %ld kB after speaking and purging 1 MB three times: +%ld kB "
         "(target <= 10240 kB)\n",
         before, after, after - before);
  return 0;
}
