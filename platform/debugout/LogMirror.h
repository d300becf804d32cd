// SPDX-License-Identifier: GPL-3.0-or-later
// NARRO_LOG: a copy of every debug-output line, one per line, in a file
// ("stderr" means standard error). Unset or empty: no copy.
#ifndef NARRO_PLATFORM_DEBUGOUT_LOG_MIRROR_H_
#define NARRO_PLATFORM_DEBUGOUT_LOG_MIRROR_H_

#include <string>

namespace platform {

void WriteLogMirror(const std::string& line);

}  // namespace platform

#endif  // NARRO_PLATFORM_DEBUGOUT_LOG_MIRROR_H_
