// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/HttpRetriever.h"

namespace {

const char kUserAgent[] = "Tarvo Software HTTP Retriever 1.0";

constexpr uint32_t kOpenFlags = platform::INTERNET_FLAG_NO_CACHE_WRITE |
                                platform::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
                                platform::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;

constexpr uint32_t kChunkSize = 8192;

}  // namespace

CHttpRetriever::CHttpRetriever()
    : m_internet(platform::InternetOpen(kUserAgent,
                                        platform::INTERNET_OPEN_TYPE_DIRECT)) {}

CHttpRetriever::~CHttpRetriever() {
  if (m_request != nullptr) platform::InternetCloseHandle(m_request);
  if (m_internet != nullptr) platform::InternetCloseHandle(m_internet);
}

const char* CHttpRetriever::Fetch(const char* url) {
  if (url == nullptr) {
    m_lastError = 0xFFFFFFFF;
    return nullptr;
  }
  if (m_request != nullptr) platform::InternetCloseHandle(m_request);
  m_request = platform::InternetOpenUrl(m_internet, url, kOpenFlags);
  if (m_request == nullptr) {
    m_lastError = platform::GetLastInternetError();
    return nullptr;
  }
  ReadReply();
  return m_reply.c_str();
}

// Each read is taken as a text: what follows a zero byte in it is dropped,
// and the next read continues the text where the zero stood.
void CHttpRetriever::ReadReply() {
  m_reply.clear();
  char chunk[kChunkSize];
  uint32_t read = 0;
  while (platform::InternetReadFile(m_request, chunk, kChunkSize - 1, &read) &&
         read > 0) {
    chunk[read] = '\0';
    m_reply.append(chunk);
  }
}
