// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/shell/Shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Immortal.h"
#include "platform/environment/Environment.h"

extern char** environ;

namespace platform {

namespace {

class SpawningStarter : public ProcessStarter {
 public:
  bool Start(const std::vector<std::string>& argv) override {
    ReapEndedChildren();
    std::vector<char*> pointers;
    for (const std::string& argument : argv) {
      pointers.push_back(const_cast<char*>(argument.c_str()));
    }
    pointers.push_back(nullptr);
    pid_t pid = 0;
    // glibc reports a program that cannot be run as the spawn's own error.
    if (posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) {
      return false;
    }
    m_children.push_back(pid);
    return true;
  }

 private:
  void ReapEndedChildren() {
    for (size_t i = 0; i < m_children.size();) {
      if (waitpid(m_children[i], nullptr, WNOHANG) != 0) {
        m_children[i] = m_children.back();
        m_children.pop_back();
      } else {
        ++i;
      }
    }
  }

  std::vector<pid_t> m_children;
};

bool Start(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  return Current<ProcessStarter>().Start(argv);
}

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

// A name that starts with "-" would be taken for an option.
std::string AsArgument(const std::string& file) {
  return file[0] == '-' ? "./" + file : file;
}

// $VISUAL and $EDITOR may name a program with its own options.
std::vector<std::string> Words(const std::string& command) {
  std::vector<std::string> words;
  size_t at = command.find_first_not_of(" \t");
  while (at != std::string::npos) {
    const size_t end = command.find_first_of(" \t", at);
    words.push_back(command.substr(at, end == std::string::npos ? end : end - at));
    at = command.find_first_not_of(" \t", end);
  }
  return words;
}

// The program and its own arguments that do verb; empty when none does.
std::vector<std::string> ProgramFor(const std::string& verb) {
  if (verb == "edit") {
    std::vector<std::string> editor = Words(GetEnvironmentVariable("VISUAL"));
    return editor.empty() ? Words(GetEnvironmentVariable("EDITOR")) : editor;
  }
  if (verb == "print") return {"lp"};
  return {"xdg-open"};
}

std::string FindOnPath(const std::string& program) {
  std::string path = GetEnvironmentVariable("PATH");
  if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(':', start);
    std::string folder = path.substr(start, end - start);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + program;
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (end == std::string::npos) return std::string();
    start = end + 1;
  }
}

}  // namespace

ProcessStarter& ProcessStarter::Real() { return Immortal<SpawningStarter>(); }

bool ShellExecuteEx(const std::string& verb, const std::string& file) {
  if (!Exists(file)) return false;
  std::vector<std::string> argv = ProgramFor(verb);
  if (argv.empty()) return false;
  argv.push_back(AsArgument(file));
  return Start(argv);
}

std::string FindExecutable(const std::string& file) {
  if (!Exists(file)) return std::string();
  return FindOnPath("xdg-open");
}

bool ShellExecute(const std::string& verb, const std::string& program,
                  const std::string& file) {
  if (verb == "edit" || verb == "print") return false;
  if (!Exists(file)) return false;
  return Start({program, AsArgument(file)});
}

}  // namespace platform
