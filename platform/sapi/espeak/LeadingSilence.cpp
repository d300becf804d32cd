// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/espeak/LeadingSilence.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

LeadingSilence::LeadingSilence(int sampleRate)
    : m_leadLength(sampleRate > 0
                       ? static_cast<size_t>(sampleRate) * kLeadMilliseconds / 1000
                       : 0) {
  m_lead.reserve(m_leadLength);
}

void LeadingSilence::Reset() {
  m_sounding = false;
  m_lead.clear();
}

LeadingSilence::Spans LeadingSilence::Pass(const int16_t* samples, size_t count) {
  Spans spans{};
  if (samples == nullptr || count == 0) return spans;
  if (m_sounding) {
    spans[0] = Span{samples, count};
    return spans;
  }
  const int16_t* end = samples + count;
  const int16_t* sound = std::find_if(samples, end, [](int16_t sample) {
    return std::abs(static_cast<int>(sample)) > kThreshold;
  });
  const auto silent = static_cast<size_t>(sound - samples);
  if (sound == end) {
    // Still silence: remember its end, in case the sound starts with the
    // next chunk.
    const size_t keep = std::min(silent, m_leadLength);
    m_lead.insert(m_lead.end(), end - keep, end);
    if (m_lead.size() > m_leadLength) {
      m_lead.erase(m_lead.begin(),
                   m_lead.begin() + static_cast<std::ptrdiff_t>(m_lead.size() - m_leadLength));
    }
    return spans;
  }
  m_sounding = true;
  if (silent >= m_leadLength) {
    const size_t from = silent - m_leadLength;
    spans[0] = Span{samples + from, count - from};
    return spans;
  }
  const size_t earlier = std::min(m_leadLength - silent, m_lead.size());
  if (earlier > 0) spans[0] = Span{m_lead.data() + m_lead.size() - earlier, earlier};
  spans[1] = Span{samples, count};
  return spans;
}

}  // namespace platform
