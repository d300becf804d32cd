// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/http/Internet.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "platform/http/CurlTransfer.h"

struct platform::InternetHandle {
  virtual ~InternetHandle() = default;
};

namespace platform {
namespace {

struct RootHandle : InternetHandle {
  std::string agent;
  bool direct = true;
};

struct RequestHandle : InternetHandle {
  std::string reply;
  size_t position = 0;
};

thread_local uint32_t t_lastError = 0;

bool IsHttps(const std::string& url) {
  return strncasecmp(url.c_str(), "https:", 6) == 0;
}

std::string RedirectProtocols(const std::string& url, uint32_t flags) {
  const bool http = !IsHttps(url) || (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP);
  const bool https = IsHttps(url) || (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS);
  if (http && https) return "http,https";
  return http ? "http" : "https";
}

}  // namespace

HINTERNET InternetOpen(const std::string& agent, uint32_t accessType) {
  RootHandle* root = new RootHandle;
  root->agent = agent;
  root->direct = accessType == INTERNET_OPEN_TYPE_DIRECT;
  return root;
}

HINTERNET InternetOpenUrl(HINTERNET internet, const std::string& url,
                          uint32_t flags) {
  const RootHandle* root = dynamic_cast<const RootHandle*>(internet);
  if (root == nullptr) {
    t_lastError = ERROR_INTERNET_INTERNAL_ERROR;
    return nullptr;
  }
  const HttpGet get{url, root->agent, root->direct, RedirectProtocols(url, flags),
                    Current<InternetLimits>()};
  RequestHandle* request = new RequestHandle;
  if (!PerformGet(get, &request->reply, &t_lastError)) {
    delete request;
    return nullptr;
  }
  return request;
}

bool InternetReadFile(HINTERNET file, void* buffer, uint32_t toRead,
                      uint32_t* read) {
  RequestHandle* request = dynamic_cast<RequestHandle*>(file);
  if (request == nullptr || buffer == nullptr || read == nullptr) return false;
  const size_t count = std::min<size_t>(toRead, request->reply.size() - request->position);
  std::memcpy(buffer, request->reply.data() + request->position, count);
  request->position += count;
  *read = static_cast<uint32_t>(count);
  return true;
}

bool InternetCloseHandle(HINTERNET handle) {
  if (handle == nullptr) return false;
  delete handle;
  return true;
}

uint32_t GetLastInternetError() { return t_lastError; }

InternetLimits& InternetLimits::Real() {
  static InternetLimits defaults;
  return defaults;
}

}  // namespace platform
