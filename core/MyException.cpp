// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MyException.h"

namespace {

// Made when needed, not held in a static string: a report may be written
// while the library is being loaded, before this file's statics exist.
std::string Rule() { return std::string(80, '/'); }

std::string DetailsLine() {
  return "//" + std::string(35, ' ') + "DETAILS" + std::string(34, ' ') + "//";
}

}  // namespace

CMyException::CMyException(int errorNumber, const std::string& description,
                           const std::string& function, const std::string& file,
                           int line)
    : m_line(line),
      m_errorNumber(errorNumber),
      m_description(description),
      m_function(function),
      m_file(file) {
  m_report = "****ERROR: An exception has been thrown!\n\n";
  m_report += Rule() + "\n" + DetailsLine() + "\n" + Rule() + "\n";
  m_report += "ERROR #: " + std::to_string(m_errorNumber);
  m_report += "\nFunction: " + m_function;
  m_report += "\nDescription: " + m_description + ". ";
  if (m_line > 0) {
    m_report += "\nFile: " + m_file;
    m_report += "\nLine: " + std::to_string(m_line);
  }
}

CMyException::~CMyException() = default;

const char* CMyException::what() const noexcept { return m_report.c_str(); }
