// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "platform/http/Internet.h"
#include "tests/update/TestHttpServer.h"
#include "update/HttpRetriever.h"

namespace {

HttpReply Body(const std::string& body) {
  HttpReply reply;
  reply.body = body;
  return reply;
}

// Text of length bytes that shows where a piece went missing.
std::string Pattern(size_t length) {
  std::string text;
  for (size_t i = 0; text.size() < length; ++i) text += std::to_string(i) + ";";
  text.resize(length);
  return text;
}

std::string HeaderLine(const std::string& head, const std::string& name) {
  const size_t start = head.find("\r\n" + name + ": ");
  if (start == std::string::npos) return std::string();
  const size_t end = head.find("\r\n", start + 2);
  return head.substr(start + 2, end - start - 2);
}

TEST(HttpRetrieverTest, AGetWithTheRetrieversOwnUserAgentAndNoExtras) {
  TestHttpServer server(Body("ok,1,0,0,2"));
  CHttpRetriever retriever;
  const char* reply = retriever.Fetch((server.BaseUrl() + "a/b?x,y").c_str());
  ASSERT_NE(reply, nullptr);
  EXPECT_STREQ(reply, "ok,1,0,0,2");
  ASSERT_EQ(server.Requests().size(), 1u);
  const HttpRequest request = server.Requests()[0];
  EXPECT_EQ(request.requestLine, "GET /a/b?x,y HTTP/1.1");
  EXPECT_EQ(HeaderLine(request.head, "User-Agent"),
            "User-Agent: Tarvo Software HTTP Retriever 1.0");
  EXPECT_EQ(HeaderLine(request.head, "Cache-Control"), "");
  EXPECT_EQ(HeaderLine(request.head, "Accept-Encoding"), "");
}

TEST(HttpRetrieverTest, LongRepliesAreGatheredWholeUpTo1MiB) {
  for (const size_t length : {size_t{0}, size_t{8191}, size_t{8192}, size_t{20000},
                              size_t{1024 * 1024}}) {
    const std::string body = Pattern(length);
    TestHttpServer server(Body(body));
    CHttpRetriever retriever;
    const char* reply = retriever.Fetch(server.BaseUrl().c_str());
    ASSERT_NE(reply, nullptr) << length;
    EXPECT_EQ(std::string(reply), body) << length;
  }
}

TEST(HttpRetrieverTest, ARepliesLargerThan1MiBAreNoReply) {
  HttpReply tooLarge = Body(std::string(2 * 1024 * 1024, 'x'));
  HttpReply justOver = Body(std::string(1024 * 1024 + 1, 'x'));
  justOver.sendLength = false;  // only the bytes themselves tell
  for (const HttpReply& reply : {tooLarge, justOver}) {
    TestHttpServer server(reply);
    CHttpRetriever retriever;
    EXPECT_EQ(retriever.Fetch(server.BaseUrl().c_str()), nullptr);
    EXPECT_EQ(retriever.GetLastError(), platform::ERROR_INTERNET_CONNECTION_ABORTED);
  }
}

TEST(HttpRetrieverTest, AZeroByteEndsTheTextOfItsReadOnly) {
  // The first read takes 8191 bytes: "ok,1," and a zero, then filler that
  // is lost; the second read's text follows on.
  std::string body = std::string("ok,1,") + '\0' + std::string(8191 - 6, 'x');
  body += "0,0,2";
  TestHttpServer server(Body(body));
  CHttpRetriever retriever;
  const char* reply = retriever.Fetch(server.BaseUrl().c_str());
  ASSERT_NE(reply, nullptr);
  EXPECT_STREQ(reply, "ok,1,0,0,2");
}

TEST(HttpRetrieverTest, RedirectsAreFollowedFiveTimesAtMost) {
  TestHttpServer server([](const HttpRequest& request) {
    const std::string& line = request.requestLine;
    if (line.find("/hop") == std::string::npos) return Redirect("/hop1");
    const int hop = line[line.find("/hop") + 4] - '0';
    return hop < 5 ? Redirect("/hop" + std::to_string(hop + 1)) : Body("arrived");
  });
  CHttpRetriever retriever;
  const char* reply = retriever.Fetch(server.BaseUrl().c_str());
  ASSERT_NE(reply, nullptr);
  EXPECT_STREQ(reply, "arrived");
  EXPECT_EQ(server.Requests().size(), 6u);

  TestHttpServer endless(Redirect("/again"));
  EXPECT_EQ(retriever.Fetch(endless.BaseUrl().c_str()), nullptr);
  EXPECT_EQ(retriever.GetLastError(), platform::ERROR_HTTP_REDIRECT_FAILED);
  EXPECT_EQ(endless.Requests().size(), 6u);
}

TEST(HttpRetrieverTest, FailuresGiveNoReplyAndTheirError) {
  CHttpRetriever retriever;
  EXPECT_EQ(retriever.Fetch(nullptr), nullptr);
  EXPECT_EQ(retriever.GetLastError(), 0xFFFFFFFFu);

  const RefusingPort refusing;
  EXPECT_EQ(retriever.Fetch(refusing.BaseUrl().c_str()), nullptr);
  EXPECT_EQ(retriever.GetLastError(), platform::ERROR_INTERNET_CANNOT_CONNECT);

  HttpReply notFound = Body("ok,9,9,9,9");
  notFound.status = 404;
  TestHttpServer server(notFound);
  EXPECT_EQ(retriever.Fetch(server.BaseUrl().c_str()), nullptr);
  EXPECT_EQ(retriever.GetLastError(), platform::ERROR_HTTP_INVALID_SERVER_RESPONSE);

  EXPECT_EQ(retriever.Fetch("file:///etc/passwd"), nullptr);
  EXPECT_EQ(retriever.GetLastError(), platform::ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  TestHttpServer toFile(Redirect("file:///etc/passwd"));
  EXPECT_EQ(retriever.Fetch(toFile.BaseUrl().c_str()), nullptr);
}

TEST(HttpRetrieverTest, AServerThatNeverAnswersTimesOut) {
  platform::InternetLimits limits;
  limits.totalTimeoutMs = 300;
  platform::ScopedInternetLimits shorter(limits);
  HttpReply silence;
  silence.neverAnswer = true;
  TestHttpServer server(silence);
  CHttpRetriever retriever;
  EXPECT_EQ(retriever.Fetch(server.BaseUrl().c_str()), nullptr);
  EXPECT_EQ(retriever.GetLastError(), platform::ERROR_INTERNET_TIMEOUT);
  EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
