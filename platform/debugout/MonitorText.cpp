// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/debugout/MonitorText.h"

std::string CMonitorText::StartLines() {
  return "----------------------\r\nDebug Monitor Started\r\n----------------------\r\n";
}

std::string CMonitorText::Format(uint32_t pid, const std::string& text) {
  std::string shown;
  bool prefix = m_atLineStart;
  if (pid != m_lastPid) {
    m_lastPid = pid;
    if (!m_atLineStart) shown += "\r\n";
    prefix = true;
  }
  if (prefix) shown += std::to_string(pid) + ":";
  shown += text;
  shown += "\r\n";
  m_atLineStart = !text.empty() && text.back() == '\n';
  return shown;
}
