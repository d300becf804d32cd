// SPDX-License-Identifier: GPL-3.0-or-later
// The debug-output monitor's text rules: each captured message on a line of
// its own, with the writer's process id and ":" in front when the writer
// changes, or when the same writer's previous message ended with a line
// feed. A message without a line feed followed by another from the same
// writer gives two lines, the second without prefix.
#ifndef NARRO_PLATFORM_DEBUGOUT_MONITOR_TEXT_H_
#define NARRO_PLATFORM_DEBUGOUT_MONITOR_TEXT_H_

#include <cstdint>
#include <string>

class CMonitorText {
 public:
  // The three lines shown when the monitor starts, CR LF ended.
  static std::string StartLines();

  // The text to show for one message, CR LF ended.
  std::string Format(uint32_t pid, const std::string& text);

 private:
  uint32_t m_lastPid = 0xFFFFFFFFu;  // no writer has it
  bool m_atLineStart = true;
};

#endif  // NARRO_PLATFORM_DEBUGOUT_MONITOR_TEXT_H_
