// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the library asks of the file system goes through one object:
// listing a folder, reading a file, replacing a data file, locking it for a
// read-modify-write, moving it aside. The real one works on the disk.
//
// Every path the library opens may be a pipe, a folder, a device, a link,
// huge, or another user's. The real file system therefore reads regular
// files only, and obeys a file's permission bits as written even when the
// process runs as root: a file its owner made read-only is never rewritten,
// and one nobody may read is never read (and so never replaced).
//
// The seam (platform/Seam.h): Current<FileSystem>() is the one in use.
// Tests and benchmarks put their own in place with a ScopedFileSystem,
// usually a CountingFileSystem that passes every call on to the real one,
// with single operations overridden.
#ifndef NARRO_PLATFORM_FILE_FILE_SYSTEM_H_
#define NARRO_PLATFORM_FILE_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Seam.h"

namespace platform {

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

class InputFile {
 public:
  virtual ~InputFile() = default;
  // The number of bytes read, 0 at the end of the file, -1 on an error.
  virtual long Read(char* buffer, size_t size) = 0;
  virtual bool Seek(uint64_t offset) = 0;
  // The size when the file was opened.
  virtual uint64_t Size() const = 0;
};

// An exclusive lock, held until the object is destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The real file system, on the disk.
  static FileSystem& Real();

  // False when the folder cannot be listed; entries then holds whatever
  // was listed before the failure.
  virtual bool ListFolder(const std::string& folder,
                          std::vector<FolderEntry>& entries) = 0;

  // A regular file that the permission bits let this process read; null
  // otherwise, with errno ENOENT (nothing there), EACCES (not readable),
  // EISDIR (a folder) or EINVAL (a pipe, device or socket). Opening never
  // blocks, whatever lies at the path.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;

  // Replaces the file whole, or leaves the old one as it was: the contents
  // go to a temporary file in the same folder, which is renamed over the
  // old one. A symbolic link's target is replaced and the link stays. A
  // target that is not a regular file, or that its permission bits do not
  // let this process write, is not replaced (errno EINVAL or EACCES). The
  // new file keeps the old one's permission bits (and, where the process
  // may, its owner); a new file gets 0666 less the umask.
  virtual bool ReplaceFile(const std::string& path,
                           const std::string& contents) = 0;

  // Takes an exclusive lock on the lock file at lockPath (made when
  // missing, mode 0600), waiting up to timeoutMs for another holder to let
  // go. Null when the lock file cannot be made or opened, is not a regular
  // file, or the wait ran out (errno ETIMEDOUT).
  virtual std::unique_ptr<FileLock> LockExclusive(const std::string& lockPath,
                                                  int timeoutMs) = 0;

  // True when something, even a dangling link, has this name.
  virtual bool Exists(const std::string& path) = 0;
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
};

using ScopedFileSystem = ScopedReplacement<FileSystem>;

enum class ReadResult {
  kRead,        // contents holds the whole file
  kMissing,     // nothing has that name
  kUnreadable,  // something is there that could not or must not be read
};

// Reads the whole file through the file system in use. A file larger than
// maxBytes is unreadable, found so before anything is allocated for it.
ReadResult ReadWholeFile(const std::string& path, size_t maxBytes,
                         std::string& contents);

// Moves an existing file out of the way under a name no file has yet
// (path + ".broken", then ".broken-2" ...); the new name, or empty when the
// file could not be moved.
std::string KeepAside(const std::string& path);

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_FILE_SYSTEM_H_
