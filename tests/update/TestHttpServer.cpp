// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/update/TestHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

constexpr size_t kMaxHead = 64 * 1024;

int BoundSocket(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // the system picks a free one
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    throw std::runtime_error("cannot bind a port on 127.0.0.1");
  }
  *port = ntohs(address.sin_port);
  return fd;
}

std::string UrlOfPort(int port) {
  return "http://127.0.0.1:" + std::to_string(port) + "/";
}

std::string ReplyText(const HttpReply& reply) {
  std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " Test\r\n";
  if (reply.sendLength) {
    text += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  }
  text += "Connection: close\r\n";
  for (const std::string& header : reply.headers) text += header + "\r\n";
  return text + "\r\n" + reply.body;
}

// A client that gave up early makes the rest fail; that is its business.
void SendAll(int fd, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

TestHttpServer::TestHttpServer(Handler handler) : m_handler(std::move(handler)) {
  m_listener = BoundSocket(&m_port);
  if (listen(m_listener, 16) != 0 || pipe2(m_stop, O_CLOEXEC) != 0) {
    close(m_listener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  m_thread = std::thread(&TestHttpServer::Run, this);
}

TestHttpServer::TestHttpServer(const HttpReply& reply)
    : TestHttpServer([reply](const HttpRequest&) { return reply; }) {}

TestHttpServer::~TestHttpServer() {
  const char stop = 's';
  (void)!write(m_stop[1], &stop, 1);
  m_thread.join();
  close(m_stop[0]);
  close(m_stop[1]);
  close(m_listener);
}

std::string TestHttpServer::BaseUrl() const { return UrlOfPort(m_port); }

std::vector<HttpRequest> TestHttpServer::Requests() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

void TestHttpServer::Run() {
  while (WaitReadable(m_listener)) {
    const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Serve(client);
    close(client);
  }
}

void TestHttpServer::Serve(int client) {
  std::string head;
  if (!ReadHead(client, &head)) return;
  const HttpRequest request{head.substr(0, head.find("\r\n")), head};
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(request);
  }
  const HttpReply reply = m_handler(request);
  if (reply.neverAnswer) {
    // Until the client gives up or the test ends.
    char ignored[256];
    while (WaitReadable(client) && recv(client, ignored, sizeof ignored, 0) > 0) {
    }
    return;
  }
  SendAll(client, ReplyText(reply));
}

bool TestHttpServer::ReadHead(int client, std::string* head) {
  while (head->find("\r\n\r\n") == std::string::npos) {
    if (head->size() > kMaxHead || !WaitReadable(client)) return false;
    char buffer[4096];
    const ssize_t n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    head->append(buffer, static_cast<size_t>(n));
  }
  return true;
}

bool TestHttpServer::WaitReadable(int fd) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
  while (poll(fds, 2, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return (fds[1].revents & POLLIN) == 0 && fds[0].revents != 0;
}

RefusingPort::RefusingPort() { m_socket = BoundSocket(&m_port); }

RefusingPort::~RefusingPort() { close(m_socket); }

std::string RefusingPort::BaseUrl() const { return UrlOfPort(m_port); }

HttpReply Redirect(const std::string& location) {
  HttpReply reply;
  reply.status = 302;
  reply.headers = {"Location: " + location};
  return reply;
}
