// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "player/Files.h"
#include "platform/locale/TextEncoding.h"
#include "player/StoryFiles.h"
#include "player/Utf8Text.h"

namespace player {

const char kStoryExtensions[] =
    ".z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8,.zblorb,.zlb,.dat,.ulx,.gblorb,.glb,.blb,.blorb,.hex,.gam,.t3,.taf";

namespace {

// The metadata chunk is XML of a few KiB; more is not metadata.
constexpr uint32_t kLargestMetadata = 1u << 20;

class StoryFile {
 public:
  explicit StoryFile(const std::string& path) {
    // O_NONBLOCK: a FIFO given as a story must not hang the player.
    m_fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat info {};
    if (m_fd >= 0 && (fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
      close(m_fd);
      m_fd = -1;
    }
    if (m_fd >= 0) m_size = static_cast<uint64_t>(info.st_size);
  }
  ~StoryFile() {
    if (m_fd >= 0) close(m_fd);
  }
  StoryFile(const StoryFile&) = delete;
  StoryFile& operator=(const StoryFile&) = delete;

  bool ok() const { return m_fd >= 0; }
  uint64_t size() const { return m_size; }

  // Exactly `length` bytes at `offset`, or false.
  bool Read(uint64_t offset, size_t length, std::string& bytes) const {
    if (m_fd < 0 || offset > m_size || length > m_size - offset) return false;
    bytes.assign(length, '\0');
    size_t done = 0;
    while (done < length) {
      const ssize_t n = pread(m_fd, &bytes[done], length - done, static_cast<off_t>(offset + done));
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int m_fd = -1;
  uint64_t m_size = 0;
};

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

std::string LowerExtension(const std::string& path) {
  const std::string base = BaseName(path);
  const size_t dot = base.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : base.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The text of the first <tag>...</tag>, its entities decoded.
// One line, no control characters: a title is spoken and shown as a name.
std::wstring OneLine(const std::string& utf8) {
  std::wstring title = platform::WideFromUtf8(utf8);
  for (wchar_t& ch : title) {
    if (ch < 0x20 || ch == 0x7F) ch = L' ';
  }
  return ShortTitle(Trimmed(title));
}

std::wstring ElementText(const std::string& xml, const std::string& tag) {
  const size_t open = xml.find("<" + tag + ">");
  if (open == std::string::npos) return std::wstring();
  const size_t start = open + tag.size() + 2;
  const size_t close = xml.find("</" + tag + ">", start);
  if (close == std::string::npos) return std::wstring();
  std::string text = xml.substr(start, close - start);
  static const struct {
    const char* entity;
    const char* character;
  } kEntities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& entity : kEntities) {
    for (size_t at = 0; (at = text.find(entity.entity, at)) != std::string::npos;) {
      text.replace(at, std::strlen(entity.entity), entity.character);
      at += std::strlen(entity.character);
    }
  }
  return OneLine(text);
}

// Walks a Blorb's chunks: the executable's kind and the metadata's title.
void ReadBlorb(const StoryFile& file, StoryInfo& info) {
  uint64_t offset = 12;
  const uint64_t end = std::min<uint64_t>(file.size(), 12ull + 0xFFFFFFFFull);
  bool sawExecutable = false;
  for (int chunks = 0; chunks < 100000 && offset + 8 <= end; ++chunks) {
    std::string head;
    if (!file.Read(offset, 8, head)) return;
    const std::string type = head.substr(0, 4);
    const uint32_t length = BigEndian32(head, 4);
    if (!sawExecutable && (type == "ZCOD" || type == "GLUL")) {
      info.format = type == "ZCOD" ? StoryFormat::kBlorbZcode : StoryFormat::kBlorbGlulx;
      sawExecutable = true;
    } else if (type == "IFmd" && length <= kLargestMetadata) {
      std::string xml;
      if (file.Read(offset + 8, length, xml)) info.title = ElementText(xml, "title");
    }
    offset += 8 + length + (length & 1);
  }
}

uint32_t LittleEndian(const std::string& bytes, size_t at, int length) {
  uint32_t value = 0;
  for (int i = length - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// A TADS 3 image's title, from the GameInfo.txt resource its multimedia
// block (MRES) carries: "Name: Return to Ditch Day", a line among others.
void ReadTads3GameInfo(const StoryFile& file, StoryInfo& info) {
  uint64_t offset = 69;  // signature, version, reserved bytes, time stamp
  for (int blocks = 0; blocks < 100000 && offset + 10 <= file.size(); ++blocks) {
    std::string head;
    if (!file.Read(offset, 10, head)) return;
    const std::string type = head.substr(0, 4);
    const uint32_t length = LittleEndian(head, 4, 4);
    if (type == "EOF ") return;
    if (type == "MRES") {
      std::string count;
      if (!file.Read(offset + 10, 2, count)) return;
      uint64_t entry = offset + 12;
      for (uint32_t i = 0; i < LittleEndian(count, 0, 2); ++i) {
        std::string fixed, name;
        if (!file.Read(entry, 9, fixed)) return;
        const uint8_t nameLength = static_cast<uint8_t>(fixed[8]);
        if (!file.Read(entry + 9, nameLength, name)) return;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c ^ 0xFF)));
        entry += 9 + nameLength;
        if (name != "gameinfo.txt") continue;
        const uint32_t size = LittleEndian(fixed, 4, 4);
        std::string text;
        if (size > kLargestMetadata || !file.Read(offset + 10 + LittleEndian(fixed, 0, 4), size, text)) return;
        for (size_t start = 0; start < text.size();) {
          size_t end = text.find('\n', start);
          if (end == std::string::npos) end = text.size();
          const std::string line = text.substr(start, end - start);
          if (line.compare(0, 5, "Name:") == 0) {
            info.title = OneLine(line.substr(5));
            return;
          }
          start = end + 1;
        }
        return;
      }
    }
    offset += 10ull + length;
  }
}

}  // namespace

StoryInfo IdentifyStory(const std::string& path) {
  StoryInfo info;
  StoryFile file(path);
  if (!file.ok()) return info;
  std::string head;
  const size_t headLength = static_cast<size_t>(std::min<uint64_t>(file.size(), 64));
  if (!file.Read(0, headLength, head)) return info;
  const std::string extension = LowerExtension(path);
  if (head.size() >= 12 && head.compare(0, 4, "FORM") == 0 && head.compare(8, 4, "IFRS") == 0) {
    ReadBlorb(file, info);
  } else if (head.size() >= 4 && head.compare(0, 4, "Glul") == 0) {
    info.format = StoryFormat::kGlulx;
  } else if (head.size() >= 12 && head.compare(0, 12, std::string("TADS2 bin\x0a\x0d\x1a", 12)) == 0) {
    info.format = StoryFormat::kTads2;
  } else if (head.size() >= 11 && head.compare(0, 11, std::string("T3-image\x0d\x0a\x1a", 11)) == 0) {
    info.format = StoryFormat::kTads3;
    ReadTads3GameInfo(file, info);
  } else if (head.size() >= 8 && BigEndian32(head, 0) == 0x3C423FC9u && BigEndian32(head, 4) == 0x6A87C2CFu) {
    // ADRIFT's scrambled "Version 4.00"-style signature.
    info.format = StoryFormat::kAdrift;
  } else if (extension == "hex") {
    info.format = StoryFormat::kHugo;
  } else if (extension == "taf") {
    info.format = StoryFormat::kAdrift;  // older ADRIFT versions differ in their first bytes
  } else if (head.size() >= 64 && head[0] >= 1 && head[0] <= 8) {
    // A Z-machine header: the version, then a high memory mark and an
    // initial program counter inside the file.
    info.format = StoryFormat::kZcode;
  }
  return info;
}

std::string VmFor(StoryFormat format) {
  switch (format) {
    case StoryFormat::kZcode:
    case StoryFormat::kBlorbZcode: return "bocfel";
    case StoryFormat::kGlulx:
    case StoryFormat::kBlorbGlulx: return "glulxe";
    case StoryFormat::kHugo: return "hugo";
    case StoryFormat::kTads2:
    case StoryFormat::kTads3: return "tads";
    case StoryFormat::kAdrift: return "scare";
    case StoryFormat::kUnknown: break;
  }
  return std::string();
}

std::string FormatName(StoryFormat format) {
  switch (format) {
    case StoryFormat::kZcode: return "Z-code";
    case StoryFormat::kBlorbZcode: return "Z-code in a Blorb";
    case StoryFormat::kGlulx: return "Glulx";
    case StoryFormat::kBlorbGlulx: return "Glulx in a Blorb";
    case StoryFormat::kHugo: return "Hugo";
    case StoryFormat::kTads2: return "TADS 2";
    case StoryFormat::kTads3: return "TADS 3";
    case StoryFormat::kAdrift: return "ADRIFT";
    case StoryFormat::kUnknown: break;
  }
  return "unknown";
}

}  // namespace player
