// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionCheckUrl.h"

#include <cstring>

#include "platform/environment/Environment.h"
#include "platform/file/Path.h"

#ifndef NARRO_VERSION_SERVER_URL
#error "the build names the version-check server in NARRO_VERSION_SERVER_URL"
#endif

namespace {

const char kScript[] = "cgi-bin/version_check.cgi?";

// A query's own characters: unreserved, sub-delims, ":", "@", "/", "?".
bool StandsInQuery(unsigned char byte) {
  if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
      (byte >= '0' && byte <= '9')) {
    return true;
  }
  return byte != '\0' && std::strchr("-._~!$&'()*+,;=:@/?", byte) != nullptr;
}

}  // namespace

std::string VersionServer() {
  const std::string server = platform::GetEnvironmentVariable("NARRO_VERSION_SERVER");
  return !server.empty() ? server : NARRO_VERSION_SERVER_URL;
}

std::string VersionCheckUrl(const std::string& server,
                            const std::string& productName,
                            const std::string& fileVersion) {
  return platform::WithTrailingSlash(server) + kScript + EscapeQueryText(productName) + "," +
         EscapeQueryText(fileVersion);
}

std::string EscapeQueryText(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (StandsInQuery(byte)) {
      escaped += c;
    } else {
      escaped += '%';
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xF];
    }
  }
  return escaped;
}
