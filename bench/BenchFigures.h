// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: milliseconds of a duration and percentiles.
#ifndef NARRO_BENCH_BENCH_FIGURES_H_
#define NARRO_BENCH_BENCH_FIGURES_H_

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

inline double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The p-th percentile (0 to 1), nearest rank. Timed-out measurements go in
// as infinite, so that they count against the percentiles instead of
// vanishing from them. NaN when there is nothing, which fails every target.
inline double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

#endif  // NARRO_BENCH_BENCH_FIGURES_H_
