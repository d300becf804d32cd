// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/XmlDepth.h"

#include <cstring>

namespace {

// The position just past the first occurrence of end at or after from, or
// the end of the text.
size_t PastNext(const std::string& text, size_t from, const char* end) {
  const size_t at = text.find(end, from);
  return at == std::string::npos ? text.size() : at + std::strlen(end);
}

// Just past the '>' that closes the tag opened at from, quotes respected.
size_t PastTag(const std::string& text, size_t from, bool& selfClosing) {
  char quote = 0;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      selfClosing = i > from && text[i - 1] == '/';
      return i + 1;
    }
  }
  selfClosing = true;  // an unclosed tag nests nothing
  return text.size();
}

void PositionOf(const std::string& text, size_t at, XmlDepthProblem& problem) {
  problem.row = 1;
  problem.column = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++problem.row;
      problem.column = 1;
    } else {
      ++problem.column;
    }
  }
}

}  // namespace

XmlDepthProblem MeasureXmlDepth(const std::string& text, int maxDepth) {
  XmlDepthProblem problem;
  int depth = 0;
  size_t i = 0;
  while ((i = text.find('<', i)) != std::string::npos) {
    if (text.compare(i, 4, "<!--") == 0) {
      i = PastNext(text, i + 4, "-->");
    } else if (text.compare(i, 9, "<![CDATA[") == 0) {
      i = PastNext(text, i + 9, "]]>");
    } else if (text.compare(i, 2, "<?") == 0) {
      i = PastNext(text, i + 2, "?>");
    } else if (text.compare(i, 2, "<!") == 0) {
      i = PastNext(text, i + 2, ">");
    } else if (text.compare(i, 2, "</") == 0) {
      if (depth > 0) --depth;
      i = PastNext(text, i + 2, ">");
    } else {
      const size_t start = i;
      bool selfClosing = false;
      i = PastTag(text, i + 1, selfClosing);
      if (!selfClosing && ++depth > maxDepth) {
        problem.tooDeep = true;
        PositionOf(text, start, problem);
        return problem;
      }
    }
  }
  return problem;
}
