// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of a test's own, removed with everything in it at the end.
#ifndef NARRO_TESTS_SUPPORT_TEMP_DIR_H_
#define NARRO_TESTS_SUPPORT_TEMP_DIR_H_

#include <string>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending in /.
  const std::string& path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);
// The file's lines without their line feeds.
std::vector<std::string> ReadLines(const std::string& path);

#endif  // NARRO_TESTS_SUPPORT_TEMP_DIR_H_
