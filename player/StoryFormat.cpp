// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/StoryFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "player/SmallFiles.h"
#include "platform/locale/TextEncoding.h"
#include "player/StoryFiles.h"
#include "player/CleanText.h"

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

// The "Name:" line of a GameInfo.txt resource, the metadata both TADS 2
// and TADS 3 authors put in their game.
std::wstring GameInfoName(const std::string& text) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (line.compare(0, 5, "Name:") == 0) return OneLine(line.substr(5));
    start = end + 1;
  }
  return std::wstring();
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
        info.title = GameInfoName(text);
        return;
      }
    }
    offset += 10ull + length;
  }
}

// A TADS 2 game's title, from the GameInfo.txt of its HTMLRES section.
// The file is a chain of sections after a fixed header: a name's length
// and name, the offset of the next section, the section's data.
void ReadTads2GameInfo(const StoryFile& file, StoryInfo& info) {
  uint64_t offset = 48;  // signature, compiler version, flags, time stamp
  for (int sections = 0; sections < 1000 && offset + 5 <= file.size(); ++sections) {
    std::string length, name, next;
    if (!file.Read(offset, 1, length)) return;
    const uint8_t nameLength = static_cast<uint8_t>(length[0]);
    if (nameLength == 0 || !file.Read(offset + 1, nameLength, name) ||
        !file.Read(offset + 1 + nameLength, 4, next)) {
      return;
    }
    const uint64_t data = offset + 1 + nameLength + 4;
    const uint64_t following = LittleEndian(next, 0, 4);
    if (name == "$EOF" || following <= offset || following > file.size()) return;
    if (name == "HTMLRES") {
      // A count, where the data begins (from the section's data), then
      // each entry: offset from there, size, name's length and name.
      std::string head;
      if (!file.Read(data, 8, head)) return;
      const uint32_t count = LittleEndian(head, 0, 4);
      const uint64_t base = data + LittleEndian(head, 4, 4);
      uint64_t entry = data + 8;
      for (uint32_t i = 0; i < count && i < 100000; ++i) {
        std::string fixed, resource;
        if (!file.Read(entry, 10, fixed)) return;
        const uint32_t resourceLength = LittleEndian(fixed, 8, 2);
        if (!file.Read(entry + 10, resourceLength, resource)) return;
        entry += 10 + resourceLength;
        for (char& c : resource) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (resource != "gameinfo.txt") continue;
        const uint32_t size = LittleEndian(fixed, 4, 4);
        std::string text;
        if (size > kLargestMetadata || !file.Read(base + LittleEndian(fixed, 0, 4), size, text)) return;
        info.title = GameInfoName(text);
        return;
      }
      return;
    }
    offset = following;
  }
}

// An ADRIFT 4 game's title. After the 12-byte signature and a few bytes of
// its own, the game is one zlib stream of lines ending in CR LF: the
// introduction, the start room's number, the winning text, the game's
// name, its author. A text of several lines ends with a line of the two
// bytes BD D0. Older versions scramble the same lines instead of
// compressing them; they are named by their banner.
void ReadAdriftTitle(const StoryFile& file, StoryInfo& info) {
  std::string head;
  if (!file.Read(0, static_cast<size_t>(std::min<uint64_t>(file.size(), 64)), head)) return;
  size_t start = 12;
  // The stream starts with zlib's two-byte header, a multiple of 31.
  while (start + 1 < head.size() &&
         !(static_cast<unsigned char>(head[start]) == 0x78 &&
           ((static_cast<unsigned char>(head[start]) << 8) | static_cast<unsigned char>(head[start + 1])) % 31 == 0)) {
    ++start;
  }
  if (start + 1 >= head.size()) return;
  // The name comes after two texts an author writes; a few hundred KiB of
  // them is plenty, and no more is ever inflated.
  constexpr size_t kLargestHeader = 512 * 1024;
  constexpr size_t kPiece = 64 * 1024;
  std::string text;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return;
  uint64_t offset = start;
  std::string input, output(kPiece, '\0');
  int result = Z_OK;
  while (result == Z_OK && text.size() < kLargestHeader) {
    if (stream.avail_in == 0) {
      const size_t length = static_cast<size_t>(std::min<uint64_t>(kPiece, file.size() - offset));
      if (length == 0 || !file.Read(offset, length, input)) break;
      offset += length;
      stream.next_in = reinterpret_cast<Bytef*>(&input[0]);
      stream.avail_in = static_cast<uInt>(length);
    }
    stream.next_out = reinterpret_cast<Bytef*>(&output[0]);
    stream.avail_out = static_cast<uInt>(output.size());
    result = inflate(&stream, Z_NO_FLUSH);
    text.append(output, 0, output.size() - stream.avail_out);
  }
  inflateEnd(&stream);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size() && lines.size() < 100000;) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;  // a line cut off by the limit
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  // Past the end of a text: the line after its closing BD D0 line.
  const std::string kTextEnd("\xBD\xD0");
  auto pastText = [&](size_t at) {
    while (at < lines.size() && lines[at] != kTextEnd) ++at;
    return at + 1;
  };
  const size_t room = pastText(0);
  if (room >= lines.size() || lines[room].empty() ||
      lines[room].find_first_not_of("0123456789") != std::string::npos) {
    return;  // not the layout described above
  }
  const size_t name = pastText(room + 1);
  if (name >= lines.size()) return;
  // The name may carry the markup of its banner line: <font size=20>.
  std::string plain;
  bool inTag = false;
  for (char c : lines[name]) {
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (!inTag) plain += c;
  }
  // ADRIFT writes Windows' Latin text.
  if (!platform::IsUtf8(plain)) {
    std::string utf8;
    for (unsigned char c : plain) {
      if (c < 0x80) {
        utf8 += static_cast<char>(c);
      } else {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    plain = utf8;
  }
  info.title = OneLine(plain);
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
    ReadTads2GameInfo(file, info);
  } else if (head.size() >= 11 && head.compare(0, 11, std::string("T3-image\x0d\x0a\x1a", 11)) == 0) {
    info.format = StoryFormat::kTads3;
    ReadTads3GameInfo(file, info);
  } else if (head.size() >= 8 && BigEndian32(head, 0) == 0x3C423FC9u && BigEndian32(head, 4) == 0x6A87C2CFu) {
    // ADRIFT's scrambled "Version 4.00"-style signature.
    info.format = StoryFormat::kAdrift;
    ReadAdriftTitle(file, info);
  } else if (extension == "hex") {
    info.format = StoryFormat::kHugo;
  } else if (extension == "taf") {
    info.format = StoryFormat::kAdrift;  // older ADRIFT versions differ in their first bytes
    ReadAdriftTitle(file, info);
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
