// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/http/CurlTransfer.h"

#include <curl/curl.h>

#include <memory>

namespace platform {
namespace {

constexpr long kMaxRedirects = 5;

// libcurl's global state is made once and kept for the life of the
// process: cleaning it up while another library of the process may still
// use libcurl is not safe.
bool CurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

struct Reply {
  std::string body;
  size_t limit = 0;
  bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* context) {
  Reply* reply = static_cast<Reply*>(context);
  const size_t bytes = size * count;
  if (bytes > reply->limit - reply->body.size()) {
    reply->tooLarge = true;
    return 0;  // anything short of bytes ends the transfer
  }
  reply->body.append(data, bytes);
  return bytes;
}

uint32_t ErrorFor(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WRITE_ERROR: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_HTTP_RETURNED_ERROR: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

using CurlEasy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

bool Configure(CURL* curl, const HttpGet& request, Reply* reply) {
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(curl, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_HTTPGET, 1L);
  set(CURLOPT_USERAGENT, request.agent.c_str());
  if (request.direct) set(CURLOPT_PROXY, "");
  // Only the web: a configured or redirected URL cannot reach file: or
  // any other scheme libcurl knows.
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  set(CURLOPT_REDIR_PROTOCOLS_STR, request.redirectProtocols.c_str());
  set(CURLOPT_FAILONERROR, 1L);
  // Time-outs by signal would disturb the host's own signal handling.
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, request.limits.connectTimeoutMs);
  set(CURLOPT_TIMEOUT_MS, request.limits.totalTimeoutMs);
  set(CURLOPT_MAXFILESIZE_LARGE,
      static_cast<curl_off_t>(request.limits.maxReplyBytes));
  set(CURLOPT_WRITEFUNCTION, &Collect);
  set(CURLOPT_WRITEDATA, static_cast<void*>(reply));
  return ok;
}

}  // namespace

bool PerformGet(const HttpGet& request, std::string* body, uint32_t* error) {
  *error = ERROR_INTERNET_INTERNAL_ERROR;
  if (!CurlReady()) return false;
  const CurlEasy curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) return false;
  Reply reply;
  reply.limit = request.limits.maxReplyBytes;
  if (!Configure(curl.get(), request, &reply)) return false;
  const CURLcode code = curl_easy_perform(curl.get());
  if (code != CURLE_OK) {
    *error = reply.tooLarge ? ERROR_INTERNET_CONNECTION_ABORTED : ErrorFor(code);
    return false;
  }
  *body = std::move(reply.body);
  *error = 0;
  return true;
}

}  // namespace platform
