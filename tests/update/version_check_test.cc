// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/http/Internet.h"
#include "tests/support/LibraryFixture.h"
#include "tests/update/TestHttpServer.h"
#include "update/VersionCheck.h"
#include "update/VersionCheckUrl.h"

namespace {

using namespace std::string_literals;

const char kUntouchedText[] = "untouched";
constexpr int kUntouchedDifference = -777;

HttpReply Body(const std::string& body) {
  HttpReply reply;
  reply.body = body;
  return reply;
}

struct Outcome {
  bool result;
  int difference;
  std::string text;
};

bool operator==(const Outcome& a, const Outcome& b) {
  return a.result == b.result && a.difference == b.difference && a.text == b.text;
}

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << (o.result ? "true " : "false ") << o.difference << " \"" << o.text << "\"";
}

Outcome NoReply() { return {false, kUntouchedDifference, kUntouchedText}; }
Outcome NotAVersion(const std::string& reply) {
  return {false, kUntouchedDifference, reply};
}

// The test program carries FileVersion 1.0.0.1 and ProductName Story Player.
class GetVersionTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
  }
  void TearDown() override {
    unsetenv("NARRO_VERSION_SERVER");
    LibraryTest::TearDown();
  }

  Outcome AskServerAt(const std::string& baseUrl) {
    setenv("NARRO_VERSION_SERVER", baseUrl.c_str(), 1);
    int difference = kUntouchedDifference;
    CTTSString text(kUntouchedText);
    const bool result = Facade().getVersion(difference, text);
    return {result, difference, static_cast<const char*>(text)};
  }

  Outcome AskServerReplying(const HttpReply& reply) {
    const TestHttpServer server(reply);
    return AskServerAt(server.BaseUrl());
  }
};

TEST_F(GetVersionTest, RepliesAreComparedWithTheProgramsOwnVersion) {
  const std::string twentyKb = "ok,1,0,0,2," + std::string(20 * 1024, '7');
  const std::vector<std::pair<std::string, Outcome>> cases = {
      {"ok,1,0,0,2", {true, 1, "Story Player: 1.0.0.2"}},
      {"ok,1,0,0,1", {true, 0, "Story Player: 1.0.0.1"}},
      {"ok,0,9,0,0", {true, 900 - 1001, "Story Player: 0.9.0.0"}},
      {"ok,1,2,10,3", {true, 12103 - 1001, "Story Player: 1.2.10.3"}},
      {"ok,,1,0,0,2", {true, 1, "Story Player: 1.0.0.2"}},
      {"new,01,0,0,2", {true, 1, "Story Player: 01.0.0.2"}},
      {"ok,1,0,0", NotAVersion("ok,1,0,0")},
      {"", NotAVersion("")},
      {"ok,1,0,0,2,3", NotAVersion("ok,1,0,0,2,3")},
      {twentyKb, NotAVersion(twentyKb)},
      {"ok,1,0,x,2", NotAVersion("ok,1,0,x,2")},
      {"ok,1,0,0,2\n", NotAVersion("ok,1,0,0,2\n")},
      {"ok,-1,0,0,2", NotAVersion("ok,-1,0,0,2")},
      {"ok,1, 0,0,2", NotAVersion("ok,1, 0,0,2")},
      {"ok,99999,99999,0,0", NotAVersion("ok,99999,99999,0,0")},
      {"ok,1,0,0,2\0,7"s, {true, 1, "Story Player: 1.0.0.2"}},
  };
  for (const auto& [reply, expected] : cases) {
    EXPECT_EQ(AskServerReplying(Body(reply)), expected) << reply.substr(0, 40);
  }
}

TEST_F(GetVersionTest, NoReplyLeavesBothOutputsAlone) {
  HttpReply tooLarge = Body("ok,1,0,0,2," + std::string(2 * 1024 * 1024, '0'));
  HttpReply serverError = Body("ok,1,0,0,2");
  serverError.status = 500;
  HttpReply silence;
  silence.neverAnswer = true;
  platform::InternetLimits limits;
  limits.totalTimeoutMs = 300;
  platform::ScopedInternetLimits shorter(limits);

  for (const HttpReply& reply : {tooLarge, serverError, silence}) {
    EXPECT_EQ(AskServerReplying(reply), NoReply()) << reply.status;
  }
  const RefusingPort refusing;
  EXPECT_EQ(AskServerAt(refusing.BaseUrl()), NoReply());
}

TEST_F(GetVersionTest, TheQueryCarriesTheEscapedNameAndTheVersion) {
  TestHttpServer server(Body("ok,1,0,0,2"));
  std::string withoutSlash = server.BaseUrl();
  withoutSlash.pop_back();
  AskServerAt(server.BaseUrl());
  AskServerAt(withoutSlash);
  ASSERT_EQ(server.Requests().size(), 2u);
  for (const HttpRequest& request : server.Requests()) {
    EXPECT_EQ(request.requestLine,
              "GET /cgi-bin/version_check.cgi?Story%20Player,1.0.0.1 HTTP/1.1");
  }
}

TEST_F(GetVersionTest, TheBuiltInServerIsUsedWhenTheVariableIsEmpty) {
  platform::InternetLimits limits;
  limits.connectTimeoutMs = 2000;
  limits.totalTimeoutMs = 2000;
  platform::ScopedInternetLimits shorter(limits);
  EXPECT_EQ(AskServerAt(""), NoReply());
  EXPECT_NE(VersionServer().find(".invalid"), std::string::npos) << VersionServer();
}

// Other programs' version strings, asked through the same steps.
class CheckVersionTest : public ::testing::Test {
 protected:
  Outcome Check(const std::string& fileVersion, const std::string& productName,
                const std::string& reply) {
    const TestHttpServer server(Body(reply));
    int difference = kUntouchedDifference;
    CTTSString text(kUntouchedText);
    const bool result = CheckVersion({fileVersion, productName, "none", "none", "none"},
                                     server.BaseUrl(), difference, text);
    m_requestLine = server.Requests().at(0).requestLine;
    return {result, difference, static_cast<const char*>(text)};
  }

  std::string m_requestLine;
};

TEST_F(CheckVersionTest, LocalVersionsThatCannotBeComparedGiveFalse) {
  const std::string reply = "ok,1,0,0,2";
  for (const std::string local : {"1, 0, 0, 1", "1.0.0", "none", "1.0.a.1", "1.0.0.+1",
                                  "99999.99999.0.0"}) {
    EXPECT_EQ(Check(local, "P", reply), NotAVersion(reply)) << local;
  }
  EXPECT_EQ(Check("1.0.0.1.9", "P", reply), (Outcome{true, 1, "P: 1.0.0.2"}));
  EXPECT_EQ(Check("0.0.0.0", "P", "ok,2147,4836,4,7"),
            (Outcome{true, 2147483647, "P: 2147.4836.4.7"}));
}

TEST_F(CheckVersionTest, AProgramWithoutVersionStringsAsksForNoneNone) {
  EXPECT_EQ(Check("none", "none", "ok,1,0,0,2"), NotAVersion("ok,1,0,0,2"));
  EXPECT_EQ(m_requestLine, "GET /cgi-bin/version_check.cgi?none,none HTTP/1.1");
}

TEST_F(CheckVersionTest, OnlyBytesAURLCannotHoldAreEscaped) {
  Check("1.0.0.1 beta", "A&B+C=D;~'()*!$:@/?,x%y#z\x01\x7f\xc3\xbc", "ok,1,0,0,2");
  EXPECT_EQ(m_requestLine,
            "GET /cgi-bin/version_check.cgi?A&B+C=D;~'()*!$:@/?,x%25y%23z%01%7F%C3%BC,"
            "1.0.0.1%20beta HTTP/1.1");
}

}  // namespace
