// SPDX-License-Identifier: GPL-3.0-or-later
// Speech latency as the player hears it: how soon the first audible sample
// of a completed word comes out, how soon a purge silences a long paragraph,
// the same first audible sample from espeak-ng's own library called directly
// in this process, and what speaking a megabyte leaves behind in memory.
//
// The sound card is stood in for by an audio end that plays at the real
// audio rate (the WAV end, into a temporary folder). It works out when each
// sample it is given is heard: once everything written before it has been
// played, as on a real device. A sample is audible above a magnitude of 1000
// of 32767; "sound" is anything over the trimming threshold, for reference.
#include <espeak-ng/speak_lib.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "facade/LibraryLifetime.h"
#include "narro/Narro.h"
#include "platform/sapi/espeak/AudioEnd.h"
#include "platform/sapi/espeak/LeadingSilence.h"
#include "platform/sapi/VoiceTokens.h"
#include "bench/BenchFigures.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kAudible = 1000;
constexpr auto kTimeout = 2s;
constexpr double kTimedOut = std::numeric_limits<double>::infinity();

// A device that plays what it is given in order at the real rate.
class PlayClock {
 public:
  void SetRate(int rate) { m_rate = rate; }
  // When the first of `count` samples written now is heard; the device is
  // then busy until the last of them has been.
  Clock::time_point Write(size_t count) {
    const Clock::time_point start = std::max(Clock::now(), m_busyUntil);
    m_busyUntil = start + Duration(count);
    return start;
  }
  // A flush: nothing more of what was written is heard. Returns when the
  // last sample that was heard ended.
  Clock::time_point Flush() {
    const Clock::time_point now = Clock::now();
    const Clock::time_point last = std::min(now, m_busyUntil);
    m_busyUntil = now;
    return last;
  }
  Clock::duration Duration(size_t samples) const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(samples) / m_rate));
  }

 private:
  int m_rate = 22050;
  Clock::time_point m_busyUntil;
};

// The first sample over each threshold of one utterance, and when it is heard.
struct Onsets {
  bool sound = false;
  bool audible = false;
  Clock::time_point soundAt;
  Clock::time_point audibleAt;
  void Note(const int16_t* samples, size_t count, Clock::time_point start,
            const PlayClock& clock) {
    for (size_t i = 0; i < count && !audible; ++i) {
      const int magnitude = std::abs(static_cast<int>(samples[i]));
      if (!sound && magnitude > platform::LeadingSilence::kThreshold) {
        sound = true;
        soundAt = start + clock.Duration(i);
      }
      if (magnitude > kAudible) {
        audible = true;
        audibleAt = start + clock.Duration(i);
      }
    }
  }
};

// What the stand-in sound card saw, shared with the benchmark.
struct Arrivals {
  std::mutex lock;
  std::condition_variable changed;
  uint64_t utterances = 0;        // BeginUtterance calls
  uint64_t audibleUtterance = 0;  // the latest one that was heard
  Onsets onsets;                  // of that one
  uint64_t flushes = 0;
  Clock::time_point lastHeard;    // of the utterance the latest flush cut
};

Arrivals g_arrivals;

class TimedEnd : public platform::AudioEnd {
 public:
  explicit TimedEnd(const std::string& dir) : m_inner(platform::MakeWavFileEnd(dir)) {}
  bool Open(int rate) override {
    m_clock.SetRate(rate);
    return m_inner->Open(rate);
  }
  void BeginUtterance(uint64_t number) override {
    m_inner->BeginUtterance(number);
    const std::lock_guard<std::mutex> guard(g_arrivals.lock);
    m_utterance = ++g_arrivals.utterances;
    m_onsets = Onsets{};
  }
  void Write(const int16_t* samples, size_t count) override {
    const Clock::time_point start = m_clock.Write(count);
    if (!m_onsets.audible) {
      m_onsets.Note(samples, count, start, m_clock);
      if (m_onsets.audible) {
        const std::lock_guard<std::mutex> guard(g_arrivals.lock);
        g_arrivals.audibleUtterance = m_utterance;
        g_arrivals.onsets = m_onsets;
        g_arrivals.changed.notify_all();
      }
    }
    m_inner->Write(samples, count);
  }
  void Flush() override {
    const Clock::time_point lastHeard = m_clock.Flush();
    m_inner->Flush();
    const std::lock_guard<std::mutex> guard(g_arrivals.lock);
    g_arrivals.lastHeard = lastHeard;
    ++g_arrivals.flushes;
    g_arrivals.changed.notify_all();
  }
  void Drain() override { m_inner->Drain(); }
  void EndUtterance() override { m_inner->EndUtterance(); }

 private:
  std::unique_ptr<platform::AudioEnd> m_inner;
  PlayClock m_clock;
  uint64_t m_utterance = 0;
  Onsets m_onsets;
};

std::string Figure(double ms) {
  if (std::isnan(ms)) return "none";
  if (std::isinf(ms)) return "timed out";
  char text[32];
  snprintf(text, sizeof text, "%.2f ms", ms);
  return text;
}

std::string Ratio(double ours, double theirs) {
  if (!std::isfinite(ours) || !std::isfinite(theirs) || theirs <= 0) return "n/a";
  char text[32];
  snprintf(text, sizeof text, "%.3f", ours / theirs);
  return text;
}

size_t TimedOut(const std::vector<double>& values) {
  return static_cast<size_t>(std::count_if(values.begin(), values.end(),
                                           [](double v) { return std::isinf(v); }));
}

// What a player types in a game, for onsets of every kind: vowels, stops,
// quiet fricatives ("f", "th"), loud ones ("s", "sh"), nasals, liquids,
// glides and clusters.
const char* const kWords[] = {
    "north", "south", "east",   "west",   "up",      "down",   "in",     "out",
    "look",  "examine", "take", "drop",   "open",    "close",  "read",   "inventory",
    "get",   "put",   "push",   "pull",   "turn",    "climb",  "enter",  "exit",
    "wait",  "yes",   "no",     "fish",   "sword",   "shield", "thief",  "troll",
    "forest", "house", "door",  "window", "key",     "chest",  "lantern", "candle",
    "bell",  "book",  "zork",   "valley", "hall",    "kitchen", "attic", "cellar",
    "rope",  "knife", "bottle", "water",  "food",    "garlic", "egg",    "ask",
    "tell",  "give",  "throw",  "attack", "kill",    "score",  "save",   "restore",
    "quit",  "verbose", "jump", "listen", "smell",   "touch",  "search", "unlock",
    "light", "again", "mailbox", "leaflet", "tree",  "chimney", "gold",  "jewel"};
constexpr size_t kWordCount = sizeof kWords / sizeof *kWords;

struct WordTime {
  std::string word;
  double ms;
};

struct EchoFigures {
  std::vector<double> audible;  // MonitorInput to the first audible sample
  std::vector<double> sound;    // to the first sample of any sound
  std::vector<WordTime> slowest;
};

EchoFigures EchoLatencies(CNarro& narro, int count) {
  EchoFigures figures;
  std::vector<WordTime> all;
  std::string line;
  for (int i = 0; i < count; ++i) {
    const std::string word = kWords[static_cast<size_t>(i) % kWordCount];
    for (size_t typed = 1; typed < word.size(); ++typed) {
      narro.MonitorInput((line + word.substr(0, typed)).c_str());
    }
    line += word + " ";
    uint64_t before;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      before = g_arrivals.utterances;
    }
    const Clock::time_point typedAt = Clock::now();
    narro.MonitorInput(line.c_str());
    {
      std::unique_lock<std::mutex> lock(g_arrivals.lock);
      const bool heard = g_arrivals.changed.wait_for(
          lock, kTimeout, [&] { return g_arrivals.audibleUtterance > before; });
      const double audible = heard ? Ms(g_arrivals.onsets.audibleAt - typedAt) : kTimedOut;
      figures.audible.push_back(audible);
      figures.sound.push_back(heard ? Ms(g_arrivals.onsets.soundAt - typedAt) : kTimedOut);
      all.push_back(WordTime{word, audible});
    }
    if (line.size() > 200) line.clear();
    // A quick typist: the next word comes while this one is still heard.
    std::this_thread::sleep_for(std::chrono::milliseconds(80 + (i * 37) % 150));
  }
  std::sort(all.begin(), all.end(),
            [](const WordTime& a, const WordTime& b) { return a.ms > b.ms; });
  all.resize(std::min<size_t>(all.size(), 5));
  figures.slowest = all;
  return figures;
}

// From the purge request to the end of the last sample of the old
// utterance that was heard.
std::vector<double> PurgeLatencies(CNarro& narro, int count) {
  const std::string paragraph =
      "The lighthouse keeper climbed the spiral stairs every evening, counting each of the "
      "two hundred steps, and lit the great lamp that warned the fishing boats away.";
  std::vector<double> latencies;
  for (int i = 0; i < count; ++i) {
    narro.Speak(paragraph, SPEAK_QUEUED);
    std::this_thread::sleep_for(std::chrono::milliseconds(300 + 20 * i));
    uint64_t flushesBefore;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      flushesBefore = g_arrivals.flushes;
    }
    const Clock::time_point asked = Clock::now();
    narro.Speak("stop", SPEAK_CUT_OFF);
    std::unique_lock<std::mutex> lock(g_arrivals.lock);
    const bool flushed = g_arrivals.changed.wait_for(
        lock, kTimeout, [&] { return g_arrivals.flushes > flushesBefore; });
    // A paragraph that had already ended before the request took no time
    // to stop.
    latencies.push_back(flushed ? std::max(0.0, Ms(g_arrivals.lastHeard - asked)) : kTimedOut);
  }
  narro.Speak("", SPEAK_SILENCE);
  return latencies;
}

// espeak-ng's own library, called directly in this process as a program
// that uses it would: synchronous mode, its default buffers and settings,
// the voice ours speaks with. Each buffer is heard when it comes, after
// what came before it, as on the stand-in above.
struct DirectSynthesis {
  PlayClock clock;
  Onsets onsets;
};
DirectSynthesis g_direct;

int OnDirectSamples(short* samples, int count, espeak_EVENT*) {
  if (samples == nullptr || count <= 0) return 0;
  const auto n = static_cast<size_t>(count);
  const Clock::time_point start = g_direct.clock.Write(n);
  if (!g_direct.onsets.audible) g_direct.onsets.Note(samples, n, start, g_direct.clock);
  return 0;
}

EchoFigures EspeakDirectLatencies(const std::string& voice, int count) {
  EchoFigures figures;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  if (rate <= 0) {
    figures.audible.assign(static_cast<size_t>(count), kTimedOut);
    figures.sound = figures.audible;
    return figures;
  }
  g_direct.clock.SetRate(rate);
  espeak_SetSynthCallback(OnDirectSamples);
  if (!voice.empty()) espeak_SetVoiceByName(voice.c_str());
  for (int i = 0; i < count; ++i) {
    const std::string word = kWords[static_cast<size_t>(i) % kWordCount];
    g_direct.clock.Flush();
    g_direct.onsets = Onsets{};
    const Clock::time_point asked = Clock::now();
    espeak_Synth(word.c_str(), word.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, nullptr);
    const Onsets& onsets = g_direct.onsets;
    figures.audible.push_back(onsets.audible ? Ms(onsets.audibleAt - asked) : kTimedOut);
    figures.sound.push_back(onsets.sound ? Ms(onsets.soundAt - asked) : kTimedOut);
  }
  return figures;
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
  narro.Speak("ready", SPEAK_AND_WAIT);  // voice loaded, caches warm
  const std::string voice = platform::DefaultVoiceToken().engineVoice;

  constexpr int kEchoWords = 240;
  const EchoFigures echo = EchoLatencies(narro, kEchoWords);
  const std::vector<double> purge = PurgeLatencies(narro, 20);

  const long before = ResidentKb();
  std::string megabyte;
  while (megabyte.size() < (1u << 20)) megabyte += "word ";
  for (int round = 0; round < 3; ++round) {
    narro.Speak(megabyte, SPEAK_QUEUED);
    std::this_thread::sleep_for(300ms);
    narro.Speak("", SPEAK_SILENCE);
  }
  std::this_thread::sleep_for(200ms);
  const long after = ResidentKb();

  narro.release();
  DetachLibrary();
  system((std::string("rm -rf ") + dir).c_str());

  // Our voice is gone: espeak-ng is this benchmark's alone now.
  const EchoFigures direct = EspeakDirectLatencies(voice, kEchoWords);

  const double p50 = Percentile(echo.audible, 0.5);
  const double p95 = Percentile(echo.audible, 0.95);
  const double theirP50 = Percentile(direct.audible, 0.5);
  const double theirP95 = Percentile(direct.audible, 0.95);
  printf("speech benchmark (audio end at the real rate; audible: magnitude over %d)\n", kAudible);
  printf("  echo, MonitorInput to the first audible sample heard, %zu words, %zu timed out:\n",
         echo.audible.size(), TimedOut(echo.audible));
  printf("    p50 %s, p95 %s, max %s (target p95 <= 10 ms: %s)\n", Figure(p50).c_str(),
         Figure(p95).c_str(), Figure(Percentile(echo.audible, 1.0)).c_str(),
         std::isfinite(p95) && p95 <= 10.0 ? "met" : "MISSED");
  printf("    to the first sample of any sound (over %d): p50 %s, p95 %s, max %s\n",
         platform::LeadingSilence::kThreshold, Figure(Percentile(echo.sound, 0.5)).c_str(),
         Figure(Percentile(echo.sound, 0.95)).c_str(),
         Figure(Percentile(echo.sound, 1.0)).c_str());
  printf("    words heard later than 10 ms: %zu of %zu; latest:",
         static_cast<size_t>(std::count_if(echo.audible.begin(), echo.audible.end(),
                                           [](double ms) { return !(ms <= 10.0); })),
         echo.audible.size());
  for (const WordTime& slow : echo.slowest) printf(" %s %s;", slow.word.c_str(), Figure(slow.ms).c_str());
  printf("\n");
  printf("  espeak-ng's library called directly, same words, %zu timed out:\n",
         TimedOut(direct.audible));
  printf("    first audible sample: p50 %s, p95 %s, max %s\n", Figure(theirP50).c_str(),
         Figure(theirP95).c_str(), Figure(Percentile(direct.audible, 1.0)).c_str());
  printf("    first sample of any sound: p50 %s, p95 %s\n",
         Figure(Percentile(direct.sound, 0.5)).c_str(),
         Figure(Percentile(direct.sound, 0.95)).c_str());
  printf("    ours / theirs: p50 %s, p95 %s\n", Ratio(p50, theirP50).c_str(),
         Ratio(p95, theirP95).c_str());
  printf("  purge, request to the last sample of the old utterance heard, %zu paragraphs, "
         "%zu timed out: p50 %s, max %s (target <= 20 ms: %s)\n",
         purge.size(), TimedOut(purge), Figure(Percentile(purge, 0.5)).c_str(),
         Figure(Percentile(purge, 1.0)).c_str(),
         Percentile(purge, 1.0) <= 20.0 ? "met" : "MISSED");
  printf("  memory: %ld kB before, %ld kB after speaking and purging 1 MB three times: +%ld kB "
         "(target <= 10240 kB: %s)\n",
         before, after, after - before, after - before <= 10240 ? "met" : "MISSED");
  return 0;
}
