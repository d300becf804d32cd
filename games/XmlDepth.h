// SPDX-License-Identifier: GPL-3.0-or-later
// TinyXML parses and frees nested elements by recursion, so a document
// nested a few ten thousand elements deep overflows the stack. Documents
// are measured before they are parsed.
#ifndef NARRO_GAMES_XML_DEPTH_H_
#define NARRO_GAMES_XML_DEPTH_H_

#include <string>

// Deeper than any fingerprint database needs (it has two levels).
constexpr int kMaxXmlDepth = 64;

struct XmlDepthProblem {
  bool tooDeep = false;
  int row = 0;     // 1-based, of the tag that went too deep
  int column = 0;  // 1-based
};

// Counts the nesting of elements, passing over comments, CDATA sections,
// declarations and processing instructions, and over quoted attribute
// values. It measures only; a malformed document is left to the parser.
XmlDepthProblem MeasureXmlDepth(const std::string& text, int maxDepth);

#endif  // NARRO_GAMES_XML_DEPTH_H_
