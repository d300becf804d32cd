// SPDX-License-Identifier: GPL-3.0-or-later
// The library's exception type. Its report is built once and is what the
// exception guard writes to the log.
#ifndef NARRO_CORE_MY_EXCEPTION_H_
#define NARRO_CORE_MY_EXCEPTION_H_

#include <exception>
#include <string>

class CMyException : public std::exception {
 public:
  // line <= 0 means no source position is given.
  CMyException(int errorNumber, const std::string& description,
               const std::string& function, const std::string& file, int line);
  ~CMyException() override;

  const char* what() const noexcept override;

 private:
  std::string m_report;
  int m_line;
  int m_errorNumber;
  std::string m_description;
  std::string m_function;
  std::string m_file;
};

#endif  // NARRO_CORE_MY_EXCEPTION_H_
