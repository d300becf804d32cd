// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/version/ElfSection.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

namespace platform {
namespace {

// Owns the descriptor and libelf's view of it for one read.
class ElfFile {
 public:
  explicit ElfFile(const std::string& path)
      : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (m_fd >= 0 && elf_version(EV_CURRENT) != EV_NONE) {
      m_elf = elf_begin(m_fd, ELF_C_READ, nullptr);
    }
  }
  ~ElfFile() {
    if (m_elf != nullptr) elf_end(m_elf);
    if (m_fd >= 0) close(m_fd);
  }
  ElfFile(const ElfFile&) = delete;
  ElfFile& operator=(const ElfFile&) = delete;

  // Null unless the file is ELF (an archive or plain data is not).
  Elf* elf() const {
    return m_elf != nullptr && elf_kind(m_elf) == ELF_K_ELF ? m_elf : nullptr;
  }

 private:
  int m_fd;
  Elf* m_elf = nullptr;
};

Elf_Scn* FindSection(Elf* elf, const std::string& name) {
  size_t names = 0;
  if (elf_getshdrstrndx(elf, &names) != 0) return nullptr;
  for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn != nullptr;
       scn = elf_nextscn(elf, scn)) {
    GElf_Shdr header;
    if (gelf_getshdr(scn, &header) == nullptr) continue;
    const char* scnName = elf_strptr(elf, names, header.sh_name);
    if (scnName != nullptr && name == scnName && header.sh_type != SHT_NOBITS) {
      return scn;
    }
  }
  return nullptr;
}

}  // namespace

bool ReadElfSection(const std::string& path, const std::string& name,
                    std::vector<unsigned char>* bytes) {
  const ElfFile file(path);
  Elf* elf = file.elf();
  if (elf == nullptr) return false;
  Elf_Scn* scn = FindSection(elf, name);
  if (scn == nullptr) return false;
  bytes->clear();
  for (Elf_Data* data = elf_getdata(scn, nullptr); data != nullptr;
       data = elf_getdata(scn, data)) {
    if (data->d_buf == nullptr) continue;
    const auto* begin = static_cast<const unsigned char*>(data->d_buf);
    bytes->insert(bytes->end(), begin, begin + data->d_size);
  }
  return true;
}

}  // namespace platform
