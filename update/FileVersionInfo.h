// SPDX-License-Identifier: GPL-3.0-or-later
// The version resource of one executable: its strings, by name, in the
// table of its first translation.
#ifndef NARRO_UPDATE_FILE_VERSION_INFO_H_
#define NARRO_UPDATE_FILE_VERSION_INFO_H_

#include <string>
#include <vector>

class CFileVersionInfo {
 public:
  CFileVersionInfo() = default;
  virtual ~CFileVersionInfo() = default;
  CFileVersionInfo(const CFileVersionInfo&) = delete;
  CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

  // Loads the resource of path; false (and nothing loaded) when the file
  // has none or it names no translation.
  bool Open(const char* path);

  // The named string, "none" when it or the whole resource is missing;
  // empty for a null name.
  std::string QueryValue(const char* name) const;

  std::string GetFileVersion() const { return QueryValue("FileVersion"); }
  std::string GetProductName() const { return QueryValue("ProductName"); }
  std::string GetCompanyName() const { return QueryValue("CompanyName"); }
  std::string GetLegalCopyright() const { return QueryValue("LegalCopyright"); }
  std::string GetComments() const { return QueryValue("Comments"); }

 private:
  std::string m_fileName;
  std::string m_prefix;                // \StringFileInfo\040904b0\ and alike
  std::vector<unsigned char> m_data;  // empty: none loaded
};

#endif  // NARRO_UPDATE_FILE_VERSION_INFO_H_
