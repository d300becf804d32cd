// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/SpeechShaping.h"

#include "text/Tokenize.h"

std::vector<std::wstring> SpokenLines(const std::wstring& paragraph) {
  return Tokenize(paragraph, L"\n");
}

std::string DirectoryAnnouncement(const std::string& path) {
  std::string message = "Current Directory is: ";
  for (const std::string& part : Tokenize(path, "/")) {
    message += part + ", ";
  }
  return message;
}

int FindAndReplace(std::wstring& source, const std::wstring& find,
                   const std::wstring& replacement) {
  if (source.empty() || find.empty()) return 0;
  std::wstring result;
  int count = 0;
  size_t from = 0;
  for (size_t at = source.find(find); at != std::wstring::npos;
       at = source.find(find, from)) {
    result.append(source, from, at - from);
    result += replacement;
    from = at + find.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(source, from, std::wstring::npos);
  source.swap(result);
  return count;
}
