// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/speechd/PrivateSpeechDispatcher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace {

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::trunc) << text;
}

bool Answers(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  bool answered = false;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const char quit[] = "QUIT\r\n";
    if (write(fd, quit, sizeof quit - 1) == static_cast<ssize_t>(sizeof quit - 1)) {
      char reply[64];
      answered = read(fd, reply, sizeof reply) > 0;
    }
  }
  close(fd);
  return answered;
}

}  // namespace

PrivateSpeechDispatcher::PrivateSpeechDispatcher(const std::string& folder)
    : m_folder(folder),
      m_socket(folder + "speechd.sock"),
      m_configHome(folder + "xdg/") {
  mkdir((folder + "conf").c_str(), 0700);
  mkdir((folder + "conf/modules").c_str(), 0700);
  mkdir((folder + "log").c_str(), 0700);
  mkdir(m_configHome.c_str(), 0700);
  mkdir((m_configHome + "speech-dispatcher").c_str(), 0700);
  Write(folder + "conf/speechd.conf",
        "LogLevel 4\n"
        "LogDir \"" + folder + "log\"\n"
        "DefaultModule espeak-ng\n"
        "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
        "AudioOutputMethod \"alsa\"\n"
        "AudioALSADevice \"null\"\n"
        "DefaultVolume 100\n"
        "DisableAutoSpawn\n");
  Write(folder + "conf/modules/espeak-ng.conf",
        "EspeakAudioChunkSize 300\n"
        "EspeakAudioQueueMaxSize 441000\n"
        "EspeakIndexing 1\n");
  Write(m_configHome + "speech-dispatcher/speechd.conf", "DisableAutoSpawn\n");
}

PrivateSpeechDispatcher::~PrivateSpeechDispatcher() { Stop(); }

bool PrivateSpeechDispatcher::Start() {
  unlink(m_socket.c_str());
  const std::string conf = m_folder + "conf";
  const std::string log = m_folder + "log";
  const std::string pid = m_folder + "speechd.pid";
  // A test that crashes leaves no server behind for long: it ends itself a
  // minute after its last client.
  std::vector<std::string> words = {"speech-dispatcher", "--run-single", "--timeout", "60",
                                    "--config-dir", conf, "--socket-path", m_socket,
                                    "--pid-file", pid, "--log-dir", log};
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, (m_folder + "stderr").c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  const int error = posix_spawnp(&m_pid, "speech-dispatcher", &actions, nullptr,
                                 arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    m_pid = -1;
    return false;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    if (Answers(m_socket)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void PrivateSpeechDispatcher::Kill() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGKILL);
  waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

void PrivateSpeechDispatcher::Stop() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
      m_pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Kill();
}

std::string PrivateSpeechDispatcher::LogText() const {
  std::ifstream in(m_folder + "log/speech-dispatcher.log");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void PrivateSpeechDispatcher::UseAddress(const std::string& socketPath,
                                         const std::string& configHome) {
  setenv("SPEECHD_ADDRESS", ("unix_socket:" + socketPath).c_str(), 1);
  setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
}
