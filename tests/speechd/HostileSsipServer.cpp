// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speechd/HostileSsipServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

struct Client {
  std::string pending;
  bool receivingText = false;
  int speaking = 0;  // the message still being spoken, slow to queue
  bool trickling = false;
  int trickled = 0;
};

bool SendText(int fd, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t done = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (done <= 0) return false;
    sent += static_cast<size_t>(done);
  }
  return true;
}

}  // namespace

HostileSsipServer::HostileSsipServer(const std::string& path, Mode mode)
    : m_path(path), m_mode(mode) {
  unlink(path.c_str());
  m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(m_listener, 64);
  if (pipe2(m_stopPipe, O_CLOEXEC) != 0) m_stopPipe[0] = m_stopPipe[1] = -1;
  m_thread = std::thread([this] { Run(); });
}

HostileSsipServer::~HostileSsipServer() {
  if (m_stopPipe[1] >= 0) (void)!write(m_stopPipe[1], "x", 1);
  m_thread.join();
  close(m_listener);
  close(m_stopPipe[0]);
  close(m_stopPipe[1]);
  unlink(m_path.c_str());
}

void HostileSsipServer::Run() {
  std::map<int, Client> clients;
  int nextMessage = 1;
  for (;;) {
    std::vector<pollfd> entries = {{m_stopPipe[0], POLLIN, 0}};
    if (!m_frozen) {
      entries.push_back({m_listener, POLLIN, 0});
      for (const auto& [fd, client] : clients) entries.push_back({fd, POLLIN, 0});
    }
    bool trickling = false;
    for (const auto& [fd, client] : clients) trickling = trickling || client.trickling;
    const int ready = poll(entries.data(), entries.size(), trickling && !m_frozen ? 500 : -1);
    if (entries[0].revents != 0) break;
    if (m_frozen) continue;
    if (ready == 0) {
      for (auto& [fd, client] : clients) {
        if (client.trickling) {
          SendText(fd, "249-voice" + std::to_string(client.trickled++) + "\ten\tnone\r\n");
        }
      }
      continue;
    }
    if (entries[1].revents != 0) {
      const int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) clients[fd] = Client();
    }
    for (size_t i = 2; i < entries.size(); ++i) {
      if (entries[i].revents == 0) continue;
      const int fd = entries[i].fd;
      Client& client = clients[fd];
      char chunk[4096];
      const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
      if (got <= 0) {
        close(fd);
        clients.erase(fd);
        continue;
      }
      client.pending.append(chunk, static_cast<size_t>(got));
      for (size_t end; (end = client.pending.find("\r\n")) != std::string::npos;) {
        const std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 2);
        std::string answer;
        if (m_mode == Mode::kGarbage) {
          answer = "hello there\r\nxyz\r\n\r\n99\r\n";
        } else if (client.receivingText) {
          if (line != ".") continue;
          client.receivingText = false;
          const std::string id = std::to_string(nextMessage++);
          answer = "225-" + id + "\r\n225 OK MESSAGE QUEUED\r\n" + "701-" + id +
                   "\r\n701-1\r\n701 BEGIN\r\n";
          if (m_mode == Mode::kSlowToQueue) {
            std::this_thread::sleep_for(kQueueDelay);
            client.speaking = nextMessage - 1;
          } else {
            answer += "702-" + id + "\r\n702-1\r\n702 END\r\n";
          }
        } else if (line.rfind("CANCEL", 0) == 0) {
          ++m_cancels;
          answer = "210 OK CANCELED\r\n";
          if (client.speaking != 0) {
            const std::string id = std::to_string(client.speaking);
            answer += "703-" + id + "\r\n703-1\r\n703 CANCELED\r\n";
            client.speaking = 0;
          }
        } else if (line == "SPEAK" || line == "speak") {
          client.receivingText = true;
          answer = "230 OK RECEIVING DATA\r\n";
        } else if (line == "HISTORY GET CLIENT_ID") {
          answer = "245-1\r\n245 OK CLIENT ID SENT\r\n";
        } else if (line == "LIST OUTPUT_MODULES") {
          answer = "250-dummy\r\n250 OK MODULE LIST SENT\r\n";
        } else if (line == "LIST SYNTHESIS_VOICES" && m_mode == Mode::kTrickleVoices) {
          client.trickling = true;
          continue;
        } else if (line == "LIST SYNTHESIS_VOICES" && m_mode == Mode::kMillionVoices) {
          std::string block;
          bool open = true;
          for (int voice = 0; voice < 1000000 && open; ++voice) {
            block += "249-voice" + std::to_string(voice) + "\ten\tnone\r\n";
            if (block.size() > 65536) {
              open = SendText(fd, block);
              block.clear();
            }
          }
          answer = block + "249 OK VOICE LIST SENT\r\n";
        } else if (line == "LIST SYNTHESIS_VOICES") {
          answer = "249-Alpha\ten\tnone\r\n249 OK VOICE LIST SENT\r\n";
        } else {
          answer = "200 OK\r\n";
        }
        SendText(fd, answer);
      }
    }
  }
  for (const auto& [fd, client] : clients) close(fd);
}
