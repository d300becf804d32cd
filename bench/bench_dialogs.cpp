// SPDX-License-Identifier: GPL-3.0-or-later
// What a player meets in a spoken list of 10,000 entries: how soon after a
// Down key the announcement's speak request reaches the speech layer, and
// how long the list takes to open (fill, first showing, introduction
// requested). The keys come from a stand-in for the terminal that stamps
// each key as it hands it over; the speech layer's voice is wrapped so that
// each request is stamped as it arrives. Synthesis runs for real behind it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "facade/LibraryLifetime.h"
#include "dialogs/ListItems.h"
#include "dialogs/SelectDlg.h"
#include "narro/Narro.h"
#include "platform/sapi/espeak/AudioEnd.h"
#include "platform/sapi/RefCounted.h"
#include "platform/sapi/Sapi.h"
#include "platform/win/DialogIo.h"
#include "platform/win/KeyEvent.h"
#include "speech/SpeechTTS.h"
#include "bench/BenchFigures.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEntries = 10000;
constexpr int kDowns = 500;

// Plays nothing, as fast as it is fed: the sound card these machines lack.
class DiscardingEnd : public platform::AudioEnd {
 public:
  bool Open(int) override { return true; }
  void BeginUtterance(uint64_t) override {}
  void Write(const int16_t*, size_t) override {}
  void Flush() override {}
  void Drain() override {}
  void EndUtterance() override {}
};

class DiscardingCard : public platform::SoundCard {
 public:
  std::unique_ptr<platform::AudioEnd> MakeEnd() override {
    return std::make_unique<DiscardingEnd>();
  }
};

// Stamps every request with text as it reaches the speech layer.
class StampingVoice : public platform::RefCounted<platform::ISpVoice> {
 public:
  explicit StampingVoice(platform::ISpVoice* inner) : m_inner(inner) {}
  platform::HRESULT Speak(const wchar_t* text, uint32_t flags, platform::ULONG* stream) override {
    if (text != nullptr && *text != 0) stamps.push_back(Clock::now());
    return m_inner->Speak(text, flags, stream);
  }
  platform::HRESULT SetVoice(platform::ISpObjectToken* token) override {
    return m_inner->SetVoice(token);
  }
  platform::HRESULT SetRate(long rate) override { return m_inner->SetRate(rate); }
  platform::HRESULT SetVolume(uint16_t volume) override { return m_inner->SetVolume(volume); }
  std::vector<Clock::time_point> stamps;

 private:
  platform::ISpVoice* m_inner;
};

// Hands over Downs, stamping each, then Escape.
class StampingKeys : public platform::DialogIo {
 public:
  bool Open() override { return true; }
  void Show(platform::Dialog&) override {
    if (firstShown == Clock::time_point()) firstShown = Clock::now();
  }
  bool NextKey(platform::KeyEvent& key) override {
    key = platform::KeyEvent();
    if (m_given < kDowns) {
      key.vk = platform::VK_DOWN;
      ++m_given;
      stamps.push_back(Clock::now());
    } else {
      key.vk = platform::VK_ESCAPE;
      key.ch = 27;
    }
    return true;
  }
  void Close() override {}
  std::vector<Clock::time_point> stamps;
  Clock::time_point firstShown;

 private:
  int m_given = 0;
};

}  // namespace

int main() {
  char dir[] = "/tmp/narro-bench-dialogs-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  setenv("NARRO_DATA_DIR", dir, 1);
  setenv("NARRO_SPEECH", "audio", 1);
  DiscardingCard card;
  platform::ScopedSoundCard discarding(card);
  AttachLibrary();
  CNarro& narro = CNarro::GetSingleton();
  if (!narro.InitializeSAPI("", 0, 100)) {
    std::fprintf(stderr, "bench_dialogs: no speech\n");
    return 1;
  }
  platform::ISpVoice* real = CSpeechTTS::PlatformVoice();
  auto* stamping = new StampingVoice(real);
  CSpeechTTS::ReplacePlatformVoice(stamping);

  std::vector<std::unique_ptr<CGameListItem>> items;
  CSelectDlg dialog;
  dialog.m_title = "Benchmark";
  for (int i = 0; i < kEntries; ++i) {
    items.push_back(std::make_unique<CGameListItem>(nullptr));
    dialog.m_items[L"entry number " + std::to_wstring(100000 + i)] = items.back().get();
  }
  StampingKeys keys;
  platform::ScopedDialogIo useKeys(keys);
  const Clock::time_point opened = Clock::now();
  const int code = dialog.DoModal(nullptr);

  // The first request is the introduction; then one per Down.
  const std::vector<Clock::time_point>& spoken = stamping->stamps;
  std::vector<double> latencies;
  size_t missing = 0;
  for (size_t i = 0; i < keys.stamps.size(); ++i) {
    const size_t request = i + 1;
    if (request >= spoken.size() || spoken[request] < keys.stamps[i]) {
      ++missing;
      continue;
    }
    latencies.push_back(Ms(spoken[request] - keys.stamps[i]));
  }
  const double openMs = spoken.empty() ? -1 : Ms(std::max(spoken[0], keys.firstShown) - opened);

  CSpeechTTS::ReplacePlatformVoice(real);
  stamping->Release();
  narro.release();
  DetachLibrary();

  const double p95 = Percentile(latencies, 0.95);
  std::printf("bench_dialogs: a list of %d entries, %d Down keys (end code %d)\n", kEntries,
              kDowns, code);
  std::printf("  Down to speak request: p50 %.3f ms, p95 %.3f ms, max %.3f ms, %zu without a "
              "request\n",
              Percentile(latencies, 0.5), p95, Percentile(latencies, 1.0), missing);
  std::printf("  opening (fill, first showing, introduction requested): %.1f ms\n", openMs);
  const bool downOk = missing == 0 && p95 >= 0 && p95 <= 1.0;
  const bool openOk = openMs >= 0 && openMs <= 50.0;
  std::printf("  target p95 <= 1 ms: %s\n", downOk ? "PASS" : "FAIL");
  std::printf("  target opening <= 50 ms: %s\n", openOk ? "PASS" : "FAIL");
  std::string command = std::string("rm -rf ") + dir;
  if (std::system(command.c_str()) != 0) return 1;
  return downOk && openOk ? 0 : 1;
}
