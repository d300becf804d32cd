// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/narro/CommandLine.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace narro_tool {

const char kDefaultGameEndings[] =
    ".z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8,.zblorb,.zlb,.dat,.ulx,.gblorb,.glb,.blb,.blorb,.hex,.gam,.t3,.taf";
const char kDefaultSaveEndings[] = ".sav,.qzl,.glksave";

namespace {
bool g_standardOutputWasClosed = false;
}  // namespace

void GuardStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == STDOUT_FILENO) g_standardOutputWasClosed = true;
    // The lowest free number is fd itself, as the ones below are open.
    const int null = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) close(null);
  }
}

bool StandardOutputWasClosed() { return g_standardOutputWasClosed; }

bool TakeOption(Arguments& arguments, const std::string& name,
                std::string* value) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != name) continue;
    if (i + 1 >= arguments.size()) throw UsageError(name + " needs a value");
    *value = arguments[i + 1];
    arguments.erase(arguments.begin() + static_cast<long>(i),
                    arguments.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

long ParseNumber(const std::string& text, const std::string& what) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE) {
    throw UsageError(what + " must be a whole number, not \"" + text + "\"");
  }
  return value;
}

void RejectOptions(const Arguments& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
      throw UsageError("unknown option " + argument);
    }
  }
}

}  // namespace narro_tool
