// SPDX-License-Identifier: GPL-3.0-or-later
// A small HTTP server of the tests' own on 127.0.0.1, on a free port, that
// answers every request with what the test's handler says, one connection
// at a time, and remembers every request it received.
#ifndef NARRO_TESTS_UPDATE_TEST_HTTP_SERVER_H_
#define NARRO_TESTS_UPDATE_TEST_HTTP_SERVER_H_

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpRequest {
  std::string requestLine;  // "GET /path?query HTTP/1.1", without CR LF
  std::string head;         // everything up to the empty line
};

struct HttpReply {
  int status = 200;
  std::string body;                  // sent whole
  bool sendLength = true;            // false: the end of the body is the close
  std::vector<std::string> headers;  // more "Name: value" lines
  bool neverAnswer = false;          // hold the connection until the end
};

class TestHttpServer {
 public:
  using Handler = std::function<HttpReply(const HttpRequest&)>;

  explicit TestHttpServer(Handler handler);
  explicit TestHttpServer(const HttpReply& reply);  // the same for every request
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  // http://127.0.0.1:PORT/
  std::string BaseUrl() const;
  std::vector<HttpRequest> Requests() const;

 private:
  void Run();
  void Serve(int client);
  bool ReadHead(int client, std::string* head);
  bool WaitReadable(int fd);  // false once the server stops

  Handler m_handler;
  int m_listener = -1;
  int m_port = 0;
  int m_stop[2] = {-1, -1};
  mutable std::mutex m_mutex;
  std::vector<HttpRequest> m_requests;
  std::thread m_thread;
};

// A port on 127.0.0.1 that is bound but never listens, so that every
// connection to it is refused.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  std::string BaseUrl() const;

 private:
  int m_socket = -1;
  int m_port = 0;
};

// A reply that sends the client elsewhere.
HttpReply Redirect(const std::string& location);

#endif  // NARRO_TESTS_UPDATE_TEST_HTTP_SERVER_H_
