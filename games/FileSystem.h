// Everything the game library asks of the file system goes through one
// object: listing a folder, reading a file, replacing a data file. The real
// one works on the disk. Tests and benchmarks put their own in its place
// (usually a CFileSystemWrapper around the real one) to make a folder vanish
// in the middle of a scan, to refuse a file, or to count what was read.
#ifndef NARRO_GAMES_FILE_SYSTEM_H_
#define NARRO_GAMES_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One entry of a folder listing. "." and ".." are never listed, nor
// anything that is neither a folder nor a regular file (a symbolic link
// counts as what it points to, except that a link to a folder is left out,
// so that a walk never follows one).
struct FolderEntry {
  std::string name;
  bool isDirectory = false;
  uint64_t size = 0;       // 0 for folders
  uint64_t lastWrite = 0;  // Windows file time: 100 ns since 1601-01-01 UTC
};

class CInputFile {
 public:
  virtual ~CInputFile() = default;
  // The number of bytes read, 0 at the end of the file, -1 on an error.
  virtual long Read(char* buffer, size_t size) = 0;
  virtual bool Seek(uint64_t offset) = 0;
};

class CFileSystem {
 public:
  virtual ~CFileSystem() = default;

  // The one in use: the real file system unless Use() put another there.
  static CFileSystem& Current();
  // Null puts the real one back. The caller keeps ownership.
  static void Use(CFileSystem* fileSystem);
  static CFileSystem& Real();

  // False when the folder cannot be listed; entries then holds whatever
  // was listed before the failure.
  virtual bool ListFolder(const std::string& folder,
                          std::vector<FolderEntry>& entries) = 0;
  // Regular files only (never a folder, pipe or device, which could block
  // or never end); null when the file cannot be opened.
  virtual std::unique_ptr<CInputFile> OpenForReading(const std::string& path) = 0;
  // Replaces the file whole or leaves the old one as it was.
  virtual bool ReplaceFile(const std::string& path,
                           const std::string& contents) = 0;
};

// Passes every call on to another file system and counts what went through.
// Override single operations to change their behaviour.
class CFileSystemWrapper : public CFileSystem {
 public:
  explicit CFileSystemWrapper(CFileSystem& inner) : m_inner(inner) {}

  bool ListFolder(const std::string& folder,
                  std::vector<FolderEntry>& entries) override;
  std::unique_ptr<CInputFile> OpenForReading(const std::string& path) override;
  bool ReplaceFile(const std::string& path,
                   const std::string& contents) override;

  // Successful opens per path.
  std::map<std::string, int> opened;
  uint64_t bytesRead = 0;
  // Bytes handed to ReplaceFile, and the number of calls, per path.
  std::map<std::string, uint64_t> bytesWritten;
  std::map<std::string, int> replaced;

 protected:
  CFileSystem& m_inner;
};

// Makes a file system current for the length of a scope.
class CFileSystemInUse {
 public:
  explicit CFileSystemInUse(CFileSystem& fileSystem) {
    CFileSystem::Use(&fileSystem);
  }
  ~CFileSystemInUse() { CFileSystem::Use(nullptr); }
  CFileSystemInUse(const CFileSystemInUse&) = delete;
  CFileSystemInUse& operator=(const CFileSystemInUse&) = delete;
};

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// True when something, even a dangling link, has this name.
bool PathExists(const std::string& path);

// Moves an existing file out of the way under a name no file has yet
// (path + ".broken", then ".broken-2" ...); the new name, or empty when the
// file could not be moved.
std::string KeepAside(const std::string& path);

#endif  // NARRO_GAMES_FILE_SYSTEM_H_
