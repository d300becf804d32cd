// SPDX-License-Identifier: GPL-3.0-or-later
// The library keeps no log file of its own: every notable step is one line
// on the debug-output channel, with nothing added to it.
#ifndef NARRO_CORE_LOG_H_
#define NARRO_CORE_LOG_H_

#include <boost/format.hpp>
#include <string>

// Sends text straight to the debug-output channel (and to the NARRO_LOG
// copy), without formatting.
void OutputDebugLine(const std::string& text);

// Formats with Boost.Format ("%1%" positional, printf directives such as
// "%s" and "%u") and writes one line. A format error loses the line, never
// the caller's work.
template <typename... Args>
void LogLine(const std::string& format, const Args&... args) {
  std::string line;
  try {
    boost::format formatter(format);
    (void)(formatter % ... % args);
    line = formatter.str();
  } catch (const boost::io::format_error&) {
    return;
  }
  OutputDebugLine(line);
}

// The platform's text for errno, ": " and the number.
std::string SystemErrorText();

#endif  // NARRO_CORE_LOG_H_
