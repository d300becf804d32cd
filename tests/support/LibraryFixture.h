// SPDX-License-Identifier: GPL-3.0-or-later
// A test with the library started the way a host process starts it: a data
// folder of its own (NARRO_DATA_DIR) and the log copied to a file there
// (NARRO_LOG). Files the library reads at start can be written before
// StartLibrary().
#ifndef NARRO_TESTS_SUPPORT_LIBRARY_FIXTURE_H_
#define NARRO_TESTS_SUPPORT_LIBRARY_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "narro/Narro.h"
#include "tests/support/TempDir.h"

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void StartLibrary();
  void StopLibrary();
  CNarro& Facade() { return CNarro::GetSingleton(); }

  const std::string& DataDir() const { return m_dir.path(); }
  std::string DataFile(const std::string& name) const { return m_dir.File(name); }

  // Every log line written since the test began, or since ClearLog().
  std::vector<std::string> LogLines() const;
  void ClearLog();
  bool LogHas(const std::string& line) const;

 private:
  TempDir m_dir;
  bool m_started = false;
};

#endif  // NARRO_TESTS_SUPPORT_LIBRARY_FIXTURE_H_
