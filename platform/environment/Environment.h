// SPDX-License-Identifier: GPL-3.0-or-later
// GetEnvironmentVariable: the process environment, read in one place.
#ifndef NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_
#define NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_

#include <string>

namespace platform {

// The variable's value; empty when it is unset or set to nothing, which
// every caller treats alike.
std::string GetEnvironmentVariable(const char* name);

// The user's home folder: HOME, else the password database's entry for the
// effective user (a service started without HOME still has one); empty
// when neither names one.
std::string GetHomeFolder();

}  // namespace platform

#endif  // NARRO_PLATFORM_ENVIRONMENT_ENVIRONMENT_H_
