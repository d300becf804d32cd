// SPDX-License-Identifier: GPL-3.0-or-later
// "wav:DIR": speech is synthesised for real and played into WAV files, one
// per utterance, numbered by the line of its request in DIR/speech.log. It
// consumes samples at the real audio rate, as a sound card does, and a file
// holds only what was played: a flush drops what was still waiting.
// DIR/heard.log gets a line for each utterance when its first audible sample
// (magnitude over 1000) is played: the utterance's number, a tab, and the
// moment in nanoseconds of CLOCK_MONOTONIC, so that a program measuring a
// host from outside can tell when the player would have heard it.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"
#include "platform/file/MakeFolders.h"
#include "platform/sapi/espeak/AudioEnd.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// How much unplayed audio the simulated device holds before Write waits.
constexpr double kDeviceBufferSeconds = 0.25;

void PutLittleEndian(std::FILE* file, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc((value >> (8 * i)) & 0xFF, file);
}

class WavFile {
 public:
  WavFile(const std::string& path, int sampleRate, uint64_t number)
      : m_file(std::fopen(path.c_str(), "wb")), m_rate(sampleRate), m_number(number) {
    if (m_file) WriteHeader();
  }
  ~WavFile() {
    if (!m_file) return;
    std::fseek(m_file, 0, SEEK_SET);
    WriteHeader();
    std::fclose(m_file);
  }
  WavFile(const WavFile&) = delete;
  WavFile& operator=(const WavFile&) = delete;

  void Append(const int16_t* samples, size_t count) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
                  "WAV samples are little-endian, as in memory here");
    if (!m_file) return;
    std::fwrite(samples, sizeof(int16_t), count, m_file);
    m_dataBytes += static_cast<uint32_t>(count * 2);
  }

 private:
  void WriteHeader() {
    std::fwrite("RIFF", 1, 4, m_file);
    PutLittleEndian(m_file, 36 + m_dataBytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, m_file);
    PutLittleEndian(m_file, 16, 4);  // fmt chunk size
    PutLittleEndian(m_file, 1, 2);   // PCM
    PutLittleEndian(m_file, 1, 2);   // mono
    PutLittleEndian(m_file, static_cast<uint32_t>(m_rate), 4);
    PutLittleEndian(m_file, static_cast<uint32_t>(m_rate) * 2, 4);
    PutLittleEndian(m_file, 2, 2);   // block align
    PutLittleEndian(m_file, 16, 2);  // bits per sample
    std::fwrite("data", 1, 4, m_file);
    PutLittleEndian(m_file, m_dataBytes, 4);
  }

  std::FILE* m_file;
  int m_rate;
  uint32_t m_dataBytes = 0;

 public:
  const uint64_t m_number;
  bool m_heard = false;
};

constexpr int kAudible = 1000;

struct Chunk {
  std::shared_ptr<WavFile> file;  // null: an utterance without a number
  std::vector<int16_t> samples;
  size_t played = 0;
};

class WavFileEnd : public AudioEnd {
 public:
  explicit WavFileEnd(std::string directory) : m_directory(std::move(directory)) {}

  // A folder that is not there is made; one that cannot be is said in the
  // log, and there is no voice, rather than a silence that looks like one.
  bool Open(int sampleRate) override {
    m_rate = sampleRate;
    if (!MakeFolders(m_directory, 0700)) {
      const std::string line =
          "Speech: the folder for WAV files " + m_directory + " cannot be made: " + std::strerror(errno);
      OutputDebugString(line);
      WriteLogMirror(line);
      return false;
    }
    return sampleRate > 0;
  }

  void BeginUtterance(uint64_t number) override {
    m_current.reset();
    if (number == 0) return;
    char name[32];
    std::snprintf(name, sizeof name, "%06llu.wav",
                  static_cast<unsigned long long>(number));
    m_current = std::make_shared<WavFile>(m_directory + name, m_rate, number);
  }

  void Write(const int16_t* samples, size_t count) override {
    Play(Clock::now());
    if (m_pending.empty()) StartClock(Clock::now());
    m_pending.push_back(Chunk{m_current, std::vector<int16_t>(samples, samples + count), 0});
    m_pendingSamples += count;
    const size_t capacity = static_cast<size_t>(kDeviceBufferSeconds * m_rate);
    while (m_pendingSamples > capacity) {
      std::this_thread::sleep_for(SamplesToDuration(m_pendingSamples - capacity));
      Play(Clock::now());
    }
  }

  void Flush() override {
    Play(Clock::now());
    m_pending.clear();
    m_pendingSamples = 0;
  }

  void Drain() override {
    Play(Clock::now());
    while (m_pendingSamples > 0) {
      std::this_thread::sleep_for(SamplesToDuration(m_pendingSamples));
      Play(Clock::now());
    }
  }

  void EndUtterance() override { m_current.reset(); }

 private:
  Clock::duration SamplesToDuration(size_t samples) const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(samples) / m_rate));
  }

  void StartClock(Clock::time_point now) {
    m_clockStart = now;
    m_playedSinceStart = 0;
  }

  // Moves what the device has played by now into the files.
  void Play(Clock::time_point now) {
    if (m_pending.empty()) return;
    const double elapsed = std::chrono::duration<double>(now - m_clockStart).count();
    const auto due = static_cast<size_t>(elapsed * m_rate);
    size_t budget = due > m_playedSinceStart ? due - m_playedSinceStart : 0;
    while (budget > 0 && !m_pending.empty()) {
      Chunk& chunk = m_pending.front();
      const size_t take = std::min(budget, chunk.samples.size() - chunk.played);
      if (chunk.file && !chunk.file->m_heard) NoteFirstAudible(chunk, take);
      if (chunk.file) chunk.file->Append(chunk.samples.data() + chunk.played, take);
      chunk.played += take;
      budget -= take;
      m_playedSinceStart += take;
      m_pendingSamples -= take;
      if (chunk.played == chunk.samples.size()) m_pending.pop_front();
    }
  }

  // Writes the heard.log line when the samples about to be played hold the
  // utterance's first audible one.
  void NoteFirstAudible(const Chunk& chunk, size_t take) {
    for (size_t i = 0; i < take; ++i) {
      const int sample = chunk.samples[chunk.played + i];
      if (sample <= kAudible && sample >= -kAudible) continue;
      chunk.file->m_heard = true;
      const Clock::time_point heard = m_clockStart + SamplesToDuration(m_playedSinceStart + i);
      const long long nanoseconds =
          std::chrono::duration_cast<std::chrono::nanoseconds>(heard.time_since_epoch()).count();
      if (std::FILE* log = std::fopen((m_directory + "heard.log").c_str(), "a")) {
        std::fprintf(log, "%06llu\t%lld\n", static_cast<unsigned long long>(chunk.file->m_number),
                     nanoseconds);
        std::fclose(log);
      }
      return;
    }
  }

  const std::string m_directory;
  int m_rate = 0;
  std::shared_ptr<WavFile> m_current;
  std::deque<Chunk> m_pending;
  size_t m_pendingSamples = 0;
  Clock::time_point m_clockStart;
  size_t m_playedSinceStart = 0;
};

}  // namespace

std::unique_ptr<AudioEnd> MakeWavFileEnd(const std::string& directory) {
  return std::make_unique<WavFileEnd>(directory);
}

}  // namespace platform
