// SPDX-License-Identifier: GPL-3.0-or-later
// The part of WinINet the version check uses (InternetOpenA,
// InternetOpenUrlA, InternetReadFile, InternetCloseHandle), over libcurl.
//
// Opening a URL makes the whole GET and keeps the reply in memory; reading
// hands it out piece by piece. Limits that WinINet leaves to the system are
// our own here: a reply larger than 1 MiB fails the open (a broken or
// hostile server cannot fill the memory), and so do 10 s without a
// connection and 30 s in all. A reply with an HTTP error status (400 and
// up) is a failed open too.
#ifndef NARRO_PLATFORM_HTTP_INTERNET_H_
#define NARRO_PLATFORM_HTTP_INTERNET_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Seam.h"

namespace platform {

struct InternetHandle;
using HINTERNET = InternetHandle*;

enum : uint32_t {
  INTERNET_OPEN_TYPE_PRECONFIG = 0,  // the proxy of the environment
  INTERNET_OPEN_TYPE_DIRECT = 1,     // no proxy
};

// Flags of InternetOpenUrl. A redirect to the URL's own scheme is always
// followed (5 at most); to the other one only with its IGNORE flag.
enum : uint32_t {
  INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000,  // nothing is ever cached here
  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000,
  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000,
};

// What GetLastInternetError() gives after a failed open.
enum : uint32_t {
  ERROR_INTERNET_TIMEOUT = 12002,
  ERROR_INTERNET_INTERNAL_ERROR = 12004,
  ERROR_INTERNET_INVALID_URL = 12005,
  ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006,
  ERROR_INTERNET_NAME_NOT_RESOLVED = 12007,
  ERROR_INTERNET_CANNOT_CONNECT = 12029,
  ERROR_INTERNET_CONNECTION_ABORTED = 12030,  // the reply grew too large
  ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152,  // an HTTP error status
  ERROR_HTTP_REDIRECT_FAILED = 12156,
};

// The root handle: the user agent and the access type of every request made
// through it. Null only when libcurl cannot start.
HINTERNET InternetOpen(const std::string& agent, uint32_t accessType);

// GET url with no extra headers. Null on failure, the reason in
// GetLastInternetError().
HINTERNET InternetOpenUrl(HINTERNET internet, const std::string& url,
                          uint32_t flags);

// Up to toRead bytes of the reply; *read is 0 at its end.
bool InternetReadFile(HINTERNET file, void* buffer, uint32_t toRead,
                      uint32_t* read);

bool InternetCloseHandle(HINTERNET handle);

// The reason for this thread's last failed InternetOpenUrl.
uint32_t GetLastInternetError();

// How long a request may take and how much of a reply is kept: a server
// that never answers, or answers without end, costs the host at most this.
// The seam (platform/Seam.h): tests shorten the time-outs with a
// ScopedInternetLimits, made while no request runs.
struct InternetLimits {
  static InternetLimits& Real();  // the defaults below

  long connectTimeoutMs = 10000;
  long totalTimeoutMs = 30000;
  size_t maxReplyBytes = 1024 * 1024;
};

using ScopedInternetLimits = ScopedReplacement<InternetLimits>;

}  // namespace platform

#endif  // NARRO_PLATFORM_HTTP_INTERNET_H_
