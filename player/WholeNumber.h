// SPDX-License-Identifier: GPL-3.0-or-later
// Strict decimal numbers for the settings file and the command line: strtol
// alone would take " 5", "5x" and an overflow clamped to LONG_MAX.
#ifndef NARRO_PLAYER_WHOLE_NUMBER_H_
#define NARRO_PLAYER_WHOLE_NUMBER_H_

#include <cerrno>
#include <cstdlib>
#include <string>

inline bool ParseWholeNumber(const std::string& text, long long min, long long max,
                             long long& value) {
  size_t digits = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (digits >= text.size()) return false;
  for (size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

#endif  // NARRO_PLAYER_WHOLE_NUMBER_H_
