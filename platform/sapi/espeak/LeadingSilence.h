// SPDX-License-Identifier: GPL-3.0-or-later
// The silence an utterance starts with, dropped before it reaches the audio
// end. espeak-ng begins most words with up to 50 ms of nothing, and a word
// echoed while the player types is only useful if it is heard at once.
//
// Only samples before the first sound are dropped, and of those the last
// couple of milliseconds are kept so that the sound's attack is whole: from
// there on every sample passes exactly as it was made.
#ifndef NARRO_PLATFORM_SAPI_ESPEAK_LEADING_SILENCE_H_
#define NARRO_PLATFORM_SAPI_ESPEAK_LEADING_SILENCE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

class LeadingSilence {
 public:
  // A sample of this magnitude or less is silence. espeak-ng's own silence
  // is exactly zero; the threshold only has to be above rounding noise. It
  // is far below 1% of full scale on purpose: at a low volume setting the
  // whole of a quiet "f" or "s" stays under 1% for tens of milliseconds, and
  // would be cut.
  static constexpr int kThreshold = 32;
  // How much of the silence just before the first sound is kept.
  static constexpr int kLeadMilliseconds = 2;

  struct Span {
    const int16_t* samples = nullptr;
    size_t count = 0;
  };
  // What of a chunk is to be played, in order; a span may be empty.
  using Spans = std::array<Span, 2>;

  LeadingSilence() = default;
  explicit LeadingSilence(int sampleRate);

  // Before each utterance, and when a purge cuts one off.
  void Reset();
  // True once the first sound of the utterance has passed.
  bool Sounding() const { return m_sounding; }

  // The part of the chunk to play: nothing while it is all silence; at the
  // first sound, the kept lead (which may begin in earlier chunks) and the
  // chunk from there on; after it, the whole chunk. The spans point into
  // the chunk or into this object, and hold until the next call.
  Spans Pass(const int16_t* samples, size_t count);

 private:
  size_t m_leadLength = 0;
  std::vector<int16_t> m_lead;  // the latest silent samples, at most m_leadLength
  bool m_sounding = false;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_ESPEAK_LEADING_SILENCE_H_
