// SPDX-License-Identifier: GPL-3.0-or-later
// Where the version check asks, and how the question is written.
#ifndef NARRO_UPDATE_VERSION_CHECK_URL_H_
#define NARRO_UPDATE_VERSION_CHECK_URL_H_

#include <string>

// The server's base URL: NARRO_VERSION_SERVER when it is set and not empty,
// else the one the build was configured with.
std::string VersionServer();

// server + "cgi-bin/version_check.cgi?" + product + "," + version; a "/" is
// put after the server when it has none.
std::string VersionCheckUrl(const std::string& server,
                            const std::string& productName,
                            const std::string& fileVersion);

// Percent-encodes every byte that a URL's query cannot hold as it stands
// (a space, a control byte, "%", "#", anything above 127); the rest is
// left as it is.
std::string EscapeQueryText(const std::string& text);

#endif  // NARRO_UPDATE_VERSION_CHECK_URL_H_
