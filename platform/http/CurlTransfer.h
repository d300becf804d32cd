// SPDX-License-Identifier: GPL-3.0-or-later
// One HTTP GET with libcurl, the reply gathered in memory.
#ifndef NARRO_PLATFORM_HTTP_CURL_TRANSFER_H_
#define NARRO_PLATFORM_HTTP_CURL_TRANSFER_H_

#include <cstdint>
#include <string>

#include "platform/http/Internet.h"

namespace platform {

struct HttpGet {
  std::string url;
  std::string agent;
  bool direct = true;             // no proxy, whatever the environment says
  std::string redirectProtocols;  // libcurl's list: "http", "http,https"
  InternetLimits limits;
};

// The reply body, or false with the WinINet error that fits the failure.
bool PerformGet(const HttpGet& request, std::string* body, uint32_t* error);

}  // namespace platform

#endif  // NARRO_PLATFORM_HTTP_CURL_TRANSFER_H_
