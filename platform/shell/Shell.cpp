#include "platform/shell/Shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace platform {

namespace {

// Started programs are never waited for, so that an editor can stay open;
// the ones that have ended are collected at the next start, so that they
// do not linger as zombies.
std::vector<pid_t>& StartedChildren() {
  static std::vector<pid_t> children;
  return children;
}

void ReapEndedChildren() {
  std::vector<pid_t>& children = StartedChildren();
  for (size_t i = 0; i < children.size();) {
    if (waitpid(children[i], nullptr, WNOHANG) != 0) {
      children[i] = children.back();
      children.pop_back();
    } else {
      ++i;
    }
  }
}

bool SpawnDetached(const std::vector<std::string>& argv) {
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
  StartedChildren().push_back(pid);
  return true;
}

ProcessStarter& Starter() {
  static ProcessStarter starter;
  return starter;
}

bool Start(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  return Starter() ? Starter()(argv) : SpawnDetached(argv);
}

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

// A name that starts with "-" would be taken for an option.
std::string AsArgument(const std::string& file) {
  return file[0] == '-' ? "./" + file : file;
}

std::vector<std::string> Words(const std::string& command) {
  std::vector<std::string> words;
  size_t start = command.find_first_not_of(" \t");
  while (start != std::string::npos) {
    const size_t end = command.find_first_of(" \t", start);
    words.push_back(command.substr(start, end - start));
    start = command.find_first_not_of(" \t", end);
  }
  return words;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The program and its own arguments that do verb; empty when none does.
std::vector<std::string> ProgramFor(const std::string& verb) {
  if (verb == "edit") {
    std::vector<std::string> editor = Words(Environment("VISUAL"));
    return editor.empty() ? Words(Environment("EDITOR")) : editor;
  }
  if (verb == "print") return {"lp"};
  return {"xdg-open"};
}

std::string FindOnPath(const std::string& program) {
  std::string path = Environment("PATH");
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

void SetProcessStarter(ProcessStarter starter) { Starter() = std::move(starter); }

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
