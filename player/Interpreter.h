// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter process: a RemGlk interpreter started for one story,
// its standard input and output the GlkOte protocol, its standard error
// kept (the last few KiB) to say why it failed. It never touches the
// player's terminal.
#ifndef NARRO_PLAYER_INTERPRETER_H_
#define NARRO_PLAYER_INTERPRETER_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace player {

class Interpreter {
 public:
  Interpreter() = default;
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Starts argv[0] (looked up in PATH when it has no '/') with the rest as
  // its arguments, in `folder`, in a process group of its own. False, with
  // the reason in `error`, when the program cannot be found or started.
  bool Start(const std::vector<std::string>& argv, const std::string& folder, std::string& error);
  // The same with the environment `environment` ("NAME=value" each) instead
  // of this process's, and `openFolder` open as kFolderFd instead of
  // `folder`.
  bool Start(const std::vector<std::string>& argv, const std::string& folder, std::string& error,
             const std::vector<std::string>& environment, const std::string& openFolder);
  // The descriptor on which the folder is open in the interpreter, to name
  // files there whose path is not text (PathForInterpreter).
  static constexpr int kFolderFd = 3;

  bool Running() const { return m_pid > 0; }
  pid_t Pid() const { return m_pid; }
  // Its standard output and standard error, to poll; -1 when closed.
  int OutputFd() const { return m_out; }
  int ErrorFd() const { return m_err; }

  // Reads what has come on standard output, at most `limit` bytes at a
  // time. False at its end (the interpreter closed it or ended).
  bool ReadOutput(std::string& bytes, size_t limit = 1u << 20);
  // Reads standard error into the kept tail; closes it at its end.
  void ReadErrors();
  // The last lines it wrote on standard error, blanks trimmed, at most
  // 4 KiB, as UTF-8 with escape sequences and control characters removed
  // (ForScreen).
  std::string ErrorTail() const;

  // Sends bytes; false when the interpreter has closed its input or takes
  // nothing for `timeoutMs`. Events are small and sent one at a time, so
  // a pipe full for that long is an interpreter that no longer reads.
  bool Write(const std::string& bytes, int timeoutMs = 500);
  // Its input is open: it did not close it (a Write that failed for
  // that reason closes it here).
  bool InputOpen() const { return m_in >= 0; }

  // After its output ended: waits at most `timeoutMs` for it to end, then
  // stops it. Returns its exit code, or 128 + the signal that ended it,
  // described in `how`.
  int Reap(std::string& how, int timeoutMs = 1000);
  // Ends it if it still runs: SIGTERM to its group, SIGKILL after a second;
  // then SIGKILL to whatever of its group is left, so that nothing it
  // started outlives it.
  void Stop();

  static constexpr size_t kErrorTail = 4096;

 private:
  void CloseAll();
  bool Spawn(const std::vector<std::string>& argv, const std::string& folder, char* const* environment,
             const std::string& openFolder, std::string& error);

  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  int m_err = -1;
  std::string m_errors;
  std::string m_program;
};

// Splits a command line at blanks; single and double quotes keep blanks
// inside a word, and a backslash the next character. No shell runs it.
// False for an unfinished quote.
bool SplitCommand(const std::string& command, std::vector<std::string>& words);

}  // namespace player

#endif  // NARRO_PLAYER_INTERPRETER_H_
