// SPDX-License-Identifier: GPL-3.0-or-later
// Fetches one URL at a time and keeps the last reply as text.
#ifndef NARRO_UPDATE_HTTP_RETRIEVER_H_
#define NARRO_UPDATE_HTTP_RETRIEVER_H_

#include <cstdint>
#include <string>

#include "platform/http/Internet.h"

class CHttpRetriever {
 public:
  CHttpRetriever();
  ~CHttpRetriever();
  CHttpRetriever(const CHttpRetriever&) = delete;
  CHttpRetriever& operator=(const CHttpRetriever&) = delete;

  // The reply as a terminated text, owned by the retriever until the next
  // Fetch; null when there is none (the reason in GetLastError()). Bytes
  // after a zero byte within one read of the reply are lost.
  const char* Fetch(const char* url);

  // The error of the last failed open; 0xFFFFFFFF after a call without URL.
  uint32_t GetLastError() const { return m_lastError; }

 private:
  void ReadReply();

  platform::HINTERNET m_internet = nullptr;
  platform::HINTERNET m_request = nullptr;
  std::string m_reply;
  uint32_t m_lastError = 0;
};

#endif  // NARRO_UPDATE_HTTP_RETRIEVER_H_
