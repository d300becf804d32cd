// Files the library writes are replaced whole: the new content goes to a
// temporary file in the same folder, which is then renamed over the old
// one. A failure at any step leaves the old file as it was.
#ifndef NARRO_PLATFORM_FILE_ATOMIC_FILE_H_
#define NARRO_PLATFORM_FILE_ATOMIC_FILE_H_

#include <string>

namespace platform {

// False when the temporary file cannot be made, written or renamed; errno
// then tells why. An existing file keeps its permission bits.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);

}  // namespace platform

#endif  // NARRO_PLATFORM_FILE_ATOMIC_FILE_H_
