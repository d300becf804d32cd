// SPDX-License-Identifier: GPL-3.0-or-later
// A speech-dispatcher of the test's own, never the machine's: its own
// configuration, socket and log folder under a folder the test gives, the
// espeak-ng module, audio into ALSA's null device (so speech lasts as long
// as its synthesis). Autospawn is switched off for the processes of the
// test, through speech-dispatcher's own DisableAutoSpawn in a private
// XDG_CONFIG_HOME, so that nothing can start the machine's server.
#ifndef NARRO_TESTS_SPEECHD_PRIVATE_SPEECH_DISPATCHER_H_
#define NARRO_TESTS_SPEECHD_PRIVATE_SPEECH_DISPATCHER_H_

#include <sys/types.h>

#include <string>

class PrivateSpeechDispatcher {
 public:
  // folder ends in /; nothing starts yet.
  explicit PrivateSpeechDispatcher(const std::string& folder);
  ~PrivateSpeechDispatcher();
  PrivateSpeechDispatcher(const PrivateSpeechDispatcher&) = delete;
  PrivateSpeechDispatcher& operator=(const PrivateSpeechDispatcher&) = delete;

  // Starts the server and waits until it answers; false when it did not
  // within a few seconds.
  bool Start();
  // SIGKILL, as a crash would end it.
  void Kill();
  void Stop();

  const std::string& socket() const { return m_socket; }
  std::string LogText() const;

  // Points SPEECHD_ADDRESS at socketPath and switches autospawn off for
  // this process and its children.
  static void UseAddress(const std::string& socketPath,
                         const std::string& configHome);
  const std::string& configHome() const { return m_configHome; }

 private:
  std::string m_folder;
  std::string m_socket;
  std::string m_configHome;
  pid_t m_pid = -1;
};

#endif  // NARRO_TESTS_SPEECHD_PRIVATE_SPEECH_DISPATCHER_H_
