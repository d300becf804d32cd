// SPDX-License-Identifier: GPL-3.0-or-later
// Speech through speech-dispatcher: how soon a completed word begins to be
// spoken, and how soon a purge cancels what was being said, against a
// speech-dispatcher of the benchmark's own (espeak-ng module, ALSA's null
// device), beside the same echo figure for the espeak-ng end in the same run.
//
// speech-dispatcher's notifications are timed where they pass on the SSIP
// socket, which the benchmark watches (tests/speechd/SsipWatch.h); the
// espeak-ng end's beginning is the first samples reaching a stand-in sound
// card that plays at the real audio rate.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "facade/LibraryLifetime.h"
#include "narro/Narro.h"
#include "platform/sapi/espeak/AudioEnd.h"
#include "tests/speechd/PrivateSpeechDispatcher.h"
#include "tests/speechd/SsipWatch.h"
#include "bench/BenchFigures.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char* const kWords[] = {"north", "take", "lamp", "open", "the", "mailbox", "read",
                              "leaflet", "go", "west", "climb", "tree", "examine", "egg"};
constexpr int kEchoes = 200;
constexpr int kPurges = 20;

// Types words as a quick typist does; begun(typedAt) waits for the word's
// beginning and gives its latency, or a negative number when none came.
template <class Begun>
std::vector<double> EchoLatencies(CNarro& narro, Begun begun) {
  std::vector<double> latencies;
  std::string line;
  for (int i = 0; i < kEchoes; ++i) {
    const std::string word = kWords[i % (sizeof kWords / sizeof *kWords)];
    for (size_t typed = 1; typed < word.size(); ++typed) {
      narro.MonitorInput((line + word.substr(0, typed)).c_str());
    }
    line += word + " ";
    const double latency = begun([&] { narro.MonitorInput(line.c_str()); });
    if (latency >= 0) latencies.push_back(latency);
    if (line.size() > 200) line.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(80 + (i * 37) % 150));
  }
  return latencies;
}

// --- speech-dispatcher -----------------------------------------------------

int LatestMessage(const SsipWatch& watch) {
  const std::vector<int> ids = watch.MessageIds(1);
  return ids.empty() ? 0 : ids.back();
}

// The time of the first notification `code` for a message after `after`.
bool EventAfter(const SsipWatch& watch, int code, int after, Clock::time_point* time,
                int* message = nullptr) {
  for (const SsipEvent& event : watch.Events()) {
    if (event.connection == 1 && event.code == code && event.message > after) {
      *time = event.time;
      if (message) *message = event.message;
      return true;
    }
  }
  return false;
}

bool EventFor(const SsipWatch& watch, int code, int message, Clock::time_point* time) {
  for (const SsipEvent& event : watch.Events()) {
    if (event.connection == 1 && event.code == code && event.message == message) {
      *time = event.time;
      return true;
    }
  }
  return false;
}

std::string LongParagraph() {
  std::string text;
  for (int i = 0; i < 30; ++i) {
    text += "The lighthouse keeper climbed the spiral stairs every evening and lit the lamp. ";
  }
  return text;
}

struct SpeechdFigures {
  std::vector<double> echo;
  std::vector<double> echoSent;  // Narro's part of the echo
  std::vector<double> purge;
  std::vector<double> cancelSent;  // Narro's part of the purge
};

// When the first line from Narro after `after` passed on the socket; only
// CANCEL SELF when cancelOnly.
bool SentAfter(const SsipWatch& watch, Clock::time_point after, Clock::time_point* time,
               bool cancelOnly) {
  for (const SsipLine& line : watch.Lines()) {
    if (line.connection == 1 && line.fromClient && line.time >= after &&
        (!cancelOnly || line.text == "CANCEL SELF")) {
      *time = line.time;
      return true;
    }
  }
  return false;
}

bool MeasureSpeechd(const std::string& folder, SpeechdFigures* figures) {
  mkdir((folder + "sd").c_str(), 0700);
  PrivateSpeechDispatcher server(folder + "sd/");
  if (!server.Start()) {
    fprintf(stderr, "bench_speechd: speech-dispatcher did not start\n");
    return false;
  }
  SsipWatch watch(folder + "watch.sock", server.socket());
  PrivateSpeechDispatcher::UseAddress(watch.socket(), server.configHome());
  setenv("NARRO_SPEECH", "speechd", 1);
  AttachLibrary();
  CNarro& narro = CNarro::GetSingleton();
  if (!narro.InitializeSAPI("", 0, 100)) {
    fprintf(stderr, "bench_speechd: no speech through speech-dispatcher\n");
    DetachLibrary();
    return false;
  }
  narro.Speak("ready", SPEAK_AND_WAIT);

  figures->echo = EchoLatencies(narro, [&](auto type) {
    const int before = LatestMessage(watch);
    const Clock::time_point typedAt = Clock::now();
    type();
    Clock::time_point begun;
    if (!watch.WaitFor([&] { return EventAfter(watch, 701, before, &begun); }, 2s)) return -1.0;
    Clock::time_point sent;
    if (SentAfter(watch, typedAt, &sent, false)) figures->echoSent.push_back(Ms(sent - typedAt));
    return Ms(begun - typedAt);
  });

  const std::string paragraph = LongParagraph();
  for (int i = 0; i < kPurges; ++i) {
    const int before = LatestMessage(watch);
    narro.Speak(paragraph, SPEAK_QUEUED);
    Clock::time_point begun;
    int old = 0;
    if (!watch.WaitFor([&] { return EventAfter(watch, 701, before, &begun, &old); }, 2s)) continue;
    std::this_thread::sleep_for(std::chrono::milliseconds(50 + 10 * i));
    const Clock::time_point asked = Clock::now();
    narro.Speak("stop", SPEAK_CUT_OFF);
    Clock::time_point cancelled;
    if (!watch.WaitFor([&] { return EventFor(watch, 703, old, &cancelled); }, 2s)) continue;
    figures->purge.push_back(Ms(cancelled - asked));
    Clock::time_point sent;
    if (SentAfter(watch, asked, &sent, true)) figures->cancelSent.push_back(Ms(sent - asked));
  }
  narro.Speak("", SPEAK_SILENCE);
  narro.release();
  DetachLibrary();
  return true;
}

// --- espeak-ng -------------------------------------------------------------

struct Arrivals {
  std::mutex lock;
  std::condition_variable changed;
  uint64_t utterancesWithAudio = 0;
  Clock::time_point firstSample;
};

Arrivals g_arrivals;

// The WAV end, which plays at the real audio rate, noting first samples.
class TimedEnd : public platform::AudioEnd {
 public:
  explicit TimedEnd(const std::string& dir) : m_inner(platform::MakeWavFileEnd(dir)) {}
  bool Open(int rate) override { return m_inner->Open(rate); }
  void BeginUtterance(uint64_t number) override {
    m_inner->BeginUtterance(number);
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
  void Flush() override { m_inner->Flush(); }
  void Drain() override { m_inner->Drain(); }
  void EndUtterance() override { m_inner->EndUtterance(); }

 private:
  std::unique_ptr<platform::AudioEnd> m_inner;
  bool m_fresh = false;
};

class TimedSoundCard : public platform::SoundCard {
 public:
  explicit TimedSoundCard(std::string folder) : m_folder(std::move(folder)) {}
  std::unique_ptr<platform::AudioEnd> MakeEnd() override {
    return std::make_unique<TimedEnd>(m_folder);
  }

 private:
  std::string m_folder;
};

bool MeasureEspeak(const std::string& folder, std::vector<double>* echo) {
  TimedSoundCard timed(folder);
  platform::ScopedSoundCard useTimed(timed);
  setenv("NARRO_SPEECH", "audio", 1);
  AttachLibrary();
  CNarro& narro = CNarro::GetSingleton();
  if (!narro.InitializeSAPI("", 0, 100)) {
    fprintf(stderr, "bench_speechd: no espeak-ng speech\n");
    DetachLibrary();
    return false;
  }
  narro.Speak("ready", SPEAK_AND_WAIT);
  *echo = EchoLatencies(narro, [&](auto type) {
    uint64_t before;
    {
      const std::lock_guard<std::mutex> guard(g_arrivals.lock);
      before = g_arrivals.utterancesWithAudio;
    }
    const Clock::time_point typedAt = Clock::now();
    type();
    std::unique_lock<std::mutex> lock(g_arrivals.lock);
    if (!g_arrivals.changed.wait_for(lock, 2s, [&] {
          return g_arrivals.utterancesWithAudio > before;
        })) {
      return -1.0;
    }
    return Ms(g_arrivals.firstSample - typedAt);
  });
  narro.Speak("", SPEAK_SILENCE);
  narro.release();
  DetachLibrary();
  return true;
}

}  // namespace

int main() {
  char dir[] = "/tmp/narro-bench-speechd-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string folder = std::string(dir) + "/";
  setenv("NARRO_DATA_DIR", dir, 1);

  SpeechdFigures speechd;
  std::vector<double> espeak;
  const bool ok = MeasureSpeechd(folder, &speechd) && MeasureEspeak(folder, &espeak);
  system((std::string("rm -rf ") + dir).c_str());
  if (!ok) return 1;

  printf("speech-dispatcher benchmark (a private server: espeak-ng module, ALSA null device)\n");
  printf("  echo latency, MonitorInput to the begin notification, %zu words: p50 %.2f ms, "
         "p95 %.2f ms, max %.2f ms (target p95 <= 25 ms)\n",
         speechd.echo.size(), Percentile(speechd.echo, 0.5), Percentile(speechd.echo, 0.95),
         Percentile(speechd.echo, 1.0));
  printf("    of which Narro's part, request to its first line on the socket: p50 %.2f ms, "
         "p95 %.2f ms\n",
         Percentile(speechd.echoSent, 0.5), Percentile(speechd.echoSent, 0.95));
  printf("  the same through the espeak-ng end, MonitorInput to the first samples, %zu words: "
         "p50 %.2f ms, p95 %.2f ms, max %.2f ms\n",
         espeak.size(), Percentile(espeak, 0.5), Percentile(espeak, 0.95),
         Percentile(espeak, 1.0));
  printf("  purge, request to the cancel notification, %zu paragraphs: p50 %.2f ms, "
         "p95 %.2f ms, max %.2f ms (target <= 30 ms)\n",
         speechd.purge.size(), Percentile(speechd.purge, 0.5), Percentile(speechd.purge, 0.95),
         Percentile(speechd.purge, 1.0));
  printf("    of which Narro's part, request to CANCEL SELF on the socket: p50 %.2f ms, "
         "p95 %.2f ms; the rest is speech-dispatcher stopping its module\n",
         Percentile(speechd.cancelSent, 0.5), Percentile(speechd.cancelSent, 0.95));
  return 0;
}
