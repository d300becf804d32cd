// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/debugout/DebugOutputNames.h"

#include <unistd.h>

#include "platform/environment/Environment.h"

namespace platform {

namespace {

bool IsChannelName(const std::string& name) {
  if (name.empty() || name.size() > 32) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

DebugOutputNames DebugOutputNames::ForThisUser() {
  std::string uid = "." + std::to_string(getuid());
  const std::string channel = GetEnvironmentVariable("NARRO_DEBUG_CHANNEL");
  if (IsChannelName(channel)) uid += "." + channel;
  return DebugOutputNames{"/DBWIN_BUFFER" + uid, "/DBWIN_CONTROL" + uid,
                          "/DBWIN_LISTENER" + uid};
}

}  // namespace platform
