// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/narro/CommandLine.h"

#include <cerrno>
#include <cstdlib>

namespace narro_tool {

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
