// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/environment/Environment.h"

#include <cstdlib>

namespace platform {

std::string GetEnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace platform
