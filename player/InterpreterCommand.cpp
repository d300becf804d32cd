// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/InterpreterCommand.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "player/SmallFiles.h"
#include "player/InstallFolder.h"
#include "player/Interpreter.h"
#include "platform/locale/TextEncoding.h"

namespace player {

const char kEmglkenChoice[] = "emglken";

namespace {

// emglken's runner bundled into one file at set-up, which starts in half
// the time; else emglken's own.
const char* const kRunners[] = {"node_modules/emglken/build/narro-runner.mjs",
                                "node_modules/emglken/bin/emglken.js"};

bool IsReadableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

bool IsProgram(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string RunnerIn(const std::string& folder) {
  for (const char* runner : kRunners) {
    if (IsReadableFile(folder + runner)) return folder + runner;
  }
  return std::string();
}

// A program named without a folder, as execvp finds it in PATH; the name
// itself when it is not found there.
std::string InPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  const char* path = getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t colon = folders.find(':', start);
    std::string folder = folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (folder.empty()) folder = ".";
    if (IsProgram(folder + "/" + program)) return folder + "/" + program;
    if (colon == std::string::npos) return program;
    start = colon + 1;
  }
}

// What the player's own command may read and run: the folder of its
// program, and of each file it names (a script, the interpreter a wrapper
// starts).
std::vector<std::string> FilesOfCommand(const std::vector<std::string>& words) {
  std::vector<std::string> files;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string word = i == 0 ? InPath(words[0]) : words[i];
    if (word.empty() || word[0] != '/') continue;
    struct stat info {};
    if (stat(word.c_str(), &info) != 0) continue;
    files.push_back(S_ISDIR(info.st_mode) ? word : FolderOf(word));
  }
  return files;
}

bool EmglkenCommand(const std::string& vm, const std::string& story, InterpreterLaunch& launch,
                    std::string& error) {
  const std::string runner = FindEmglken();
  if (runner.empty()) {
    const char* given = getenv("NARRO_EMGLKEN");
    if (given != nullptr && *given != '\0') {
      error = std::string("NARRO_EMGLKEN names no interpreter runner that can be read (") + given +
              "): name emglken's runner there, or unset it to use the installed one";
    } else if (RunningFromBuildTree()) {
      error = "the interpreters of Hugo, TADS, ADRIFT (and of Z-code and Glulx without a native "
              "one) are not installed: run make in Narro's source folder, which installs them";
    } else {
      error = "the interpreters of Hugo, TADS, ADRIFT (and of Z-code and Glulx without a native "
              "one) are not installed with narro-play: install Narro again (make install), "
              "which copies them";
    }
    return false;
  }
  const char* node = getenv("NARRO_NODE");
  const std::string program = InPath(node != nullptr && *node != '\0' ? node : "node");
  // The story goes after "--", so that no name is taken for an option.
  // V8 otherwise gives back memory in one burst of CPU some seconds after
  // the last turn, while the game only waits: a few more MiB kept instead.
  launch.argv = {program, "--no-memory-reducer", runner, "--vm", vm, "--rem=true", "--", story};
  launch.kind = CageKind::kNode;
  // The runner's package (its WebAssembly files beside it) and, for
  // emglken's own runner, the packages it imports.
  const std::string runnerFolder = FolderOf(runner);
  const size_t modules = runner.rfind("/node_modules/");
  launch.programFiles = {program, modules != std::string::npos ? runner.substr(0, modules + 13) : runnerFolder};
  return true;
}

}  // namespace

std::string FindEmglken() {
  const char* given = getenv("NARRO_EMGLKEN");
  if (given != nullptr && *given != '\0') return IsReadableFile(given) ? given : std::string();
  const std::string installed = InstalledShareFolder();
  std::string runner = installed.empty() ? std::string() : RunnerIn(installed);
#ifdef NARRO_EMGLKEN_BUILD_FOLDER
  // Only a program of the build tree uses the source tree's: an installed
  // one that lost its own must say so, not run another.
  if (runner.empty() && RunningFromBuildTree()) runner = RunnerIn(std::string(NARRO_EMGLKEN_BUILD_FOLDER) + "/");
#endif
  return runner;
}

std::string FindNativeInterpreter(const std::string& vm) {
  if (vm != "bocfel" && vm != "glulxe") return std::string();
  const std::string folder = HelperProgramFolder();
  if (folder.empty()) return std::string();
  return IsProgram(folder + vm) ? folder + vm : std::string();
}

bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& path,
                        InterpreterLaunch& launch, std::string& error) {
  launch = InterpreterLaunch();
  const std::string story = PathForInterpreter(path, FolderOf(path), Interpreter::kFolderFd);
  if (story.empty()) {
    error = path + ": the interpreter cannot open a story whose name is not UTF-8 text";
    return false;
  }
  if (!custom.empty() && custom != kEmglkenChoice) {
    if (!SplitCommand(custom, launch.argv)) {
      error = "the interpreter command \"" + custom + "\" is empty or has an unfinished quote";
      return false;
    }
    launch.programFiles = FilesOfCommand(launch.argv);
    launch.argv.push_back(story);
    return true;
  }
  if (vm.empty()) {
    error = path + ": not a story file any interpreter here plays (Z-code, Glulx, Blorb, Hugo, TADS, ADRIFT)";
    return false;
  }
  const std::string native = custom.empty() ? FindNativeInterpreter(vm) : std::string();
  if (!native.empty()) {
    launch.argv = {native, story};
    launch.kind = CageKind::kNative;
    launch.programFiles = {native};
    return true;
  }
  return EmglkenCommand(vm, story, launch, error);
}

bool InterpreterCommand(const std::string& custom, const std::string& vm, const std::string& story,
                        std::vector<std::string>& argv, std::string& error) {
  InterpreterLaunch launch;
  if (!InterpreterCommand(custom, vm, story, launch, error)) return false;
  argv = launch.argv;
  return true;
}

bool StartCaged(Interpreter& interpreter, const InterpreterLaunch& launch, const std::string& story,
                const std::string& folder, bool writable, std::string& error) {
  struct stat info {};
  if (stat(story.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    error = story + ": not a file that can be played";
    return false;
  }
  if (static_cast<uint64_t>(info.st_size) > kStoryLimit) {
    error = story + ": larger than 2 GiB, more than any interpreter here can read";
    return false;
  }
  // Said here, as the player would have it, rather than by the cage.
  const std::string program = InPath(launch.argv.empty() ? std::string() : launch.argv[0]);
  if (!IsProgram(program)) {
    error = (launch.argv.empty() ? std::string("the interpreter") : launch.argv[0]) +
            " cannot be started: " + (access(program.c_str(), F_OK) == 0 ? "Permission denied" : "No such file or directory");
    if (launch.kind == CageKind::kNode) {
      // Node.js runs the interpreters of every format but the native ones.
      error += "; install Node.js 18 or later (on Debian: apt install nodejs), or name its "
               "program in NARRO_NODE";
    }
    return false;
  }
  const std::string cage = HelperProgramFolder() + "narro-cage";
  if (!IsProgram(cage)) {
    error = "narro-cage, which every interpreter runs in, is not installed (" + cage + "): " +
            (RunningFromBuildTree() ? "build Narro again (make)" : "install Narro again (make install)");
    return false;
  }
  // The story is named to the interpreter through a link in its own
  // folder: emglken puts the files a game names (glk_fileref_create_by_name)
  // in the story's folder, which must be the private one.
  std::vector<std::string> argv = launch.argv;
  const std::string name = BaseName(story);
  if (!argv.empty() && platform::IsUtf8(name) && !name.empty() && name[0] != '.') {
    const std::string link = folder + "/" + name;
    char here[4096];
    const std::string target =
        story[0] == '/' || getcwd(here, sizeof here) == nullptr ? story : std::string(here) + "/" + story;
    if (symlink(target.c_str(), link.c_str()) == 0) argv.back() = link;
  }
  CagePlan plan;
  plan.kind = launch.kind;
  plan.folder = folder;
  plan.writable = writable;
  plan.read = {story};
  plan.run = SystemProgramFiles();
  plan.run.insert(plan.run.end(), launch.programFiles.begin(), launch.programFiles.end());
  return interpreter.Start(CagedCommand(cage, plan, argv), folder, error, CageEnvironment(folder),
                           FolderOf(story));
}

}  // namespace player
