// CRC-32 throughput of the game library against zlib's crc32 on the same
// buffer, in the same run. Target: at least 0.9 times zlib's.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "games/Identification.h"

namespace {

constexpr size_t kBufferSize = 64u << 20;
constexpr int kRounds = 9;

using Clock = std::chrono::steady_clock;

template <typename Crc>
double GigabytesPerSecond(const std::vector<unsigned char>& buffer, Crc crc,
                          uint32_t& result) {
  const Clock::time_point start = Clock::now();
  result = crc(buffer.data(), buffer.size());
  const std::chrono::duration<double> took = Clock::now() - start;
  return buffer.size() / took.count() / 1e9;
}

uint32_t Zlib(const unsigned char* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(0, data, size));
}

uint32_t Ours(const unsigned char* data, size_t size) { return crcUpdate(0, data, size); }

}  // namespace

int main() {
  std::vector<unsigned char> buffer(kBufferSize);
  std::mt19937 random(42);
  for (unsigned char& byte : buffer) byte = static_cast<unsigned char>(random());

  // Taking turns, so that a busy machine or a changing clock speed weighs
  // on both alike; the best round of each counts.
  uint32_t ours = 0, theirs = 0;
  double zlibRate = 0, ourRate = 0;
  for (int round = 0; round < kRounds; ++round) {
    zlibRate = std::max(zlibRate, GigabytesPerSecond(buffer, Zlib, theirs));
    ourRate = std::max(ourRate, GigabytesPerSecond(buffer, Ours, ours));
  }
  std::printf("bench_crc: %zu MiB buffer, best of %d rounds\n", kBufferSize >> 20, kRounds);
  std::printf("  zlib crc32:  %.2f GB/s\n", zlibRate);
  std::printf("  crcUpdate:   %.2f GB/s (CRC %s, zlib %s)\n", ourRate, crcText(ours).c_str(),
              crcText(theirs).c_str());
  std::printf("  ratio:       %.2f (target >= 0.90)\n", ourRate / zlibRate);
  return ours == theirs ? 0 : 1;
}
