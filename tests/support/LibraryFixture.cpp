// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/LibraryFixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "facade/LibraryLifetime.h"

void LibraryTest::SetUp() {
  setenv("NARRO_DATA_DIR", m_dir.path().c_str(), 1);
  setenv("NARRO_LOG", m_dir.File("narro.log").c_str(), 1);
}

void LibraryTest::TearDown() {
  if (m_started) StopLibrary();
  unsetenv("NARRO_LOG");
  unsetenv("NARRO_DATA_DIR");
}

void LibraryTest::StartLibrary() {
  AttachLibrary();
  m_started = true;
}

void LibraryTest::StopLibrary() {
  DetachLibrary();
  m_started = false;
}

std::vector<std::string> LibraryTest::LogLines() const {
  return ReadLines(m_dir.File("narro.log"));
}

void LibraryTest::ClearLog() {
  std::ofstream(m_dir.File("narro.log"), std::ios::trunc);
}

bool LibraryTest::LogHas(const std::string& line) const {
  const std::vector<std::string> lines = LogLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}
