// SPDX-License-Identifier: GPL-3.0-or-later
// GetEnvironmentVariable: the process environment, read in one place.
#ifndef NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_
#define NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_

#include <string>

namespace platform {

// The variable's value; empty when it is unset or set to nothing, which
// every caller treats alike.
std::string GetEnvironmentVariable(const char* name);

}  // namespace platform

#endif  // NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_
