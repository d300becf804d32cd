// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "player/SmallFiles.h"
#include "platform/locale/TextEncoding.h"
#include "player/WholeNumber.h"

namespace player {

namespace {

// Far more than five settings ever need; a bigger file is not ours.
constexpr size_t kLargestFile = 64 * 1024;

std::string Reason(int error) { return std::strerror(error); }

// What the file could not give back exactly; empty when the value is fine.
std::string Unstorable(const std::string& value) {
  if (value.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) {
    return "contains a line break or a zero byte";
  }
  if (!platform::IsUtf8(value)) return "is not UTF-8 text";
  return {};
}

// A folder's name is bytes, not always UTF-8 (a disk from another system):
// the file holds it as text all the same, each byte that is no part of
// UTF-8 text, and each control byte, as \xHH, and a backslash doubled.
std::string EscapedBytes(const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < value.size();) {
    const unsigned char lead = static_cast<unsigned char>(value[i]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length > 1 && (i + length > value.size() || !platform::IsUtf8(value.substr(i, length)))) length = 0;
    if (lead == '\\') {
      text += "\\\\";
    } else if (length == 0 || lead < 0x20 || lead == 0x7F) {
      text += "\\x";
      text += kHex[lead >> 4];
      text += kHex[lead & 0xF];
      length = 1;
    } else {
      text.append(value, i, length);
    }
    i += length;
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Back to the bytes; a backslash that starts neither form stays as it is,
// as files written before the escapes have it.
std::string UnescapedBytes(const std::string& text) {
  std::string value;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      value += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
               HexDigit(text[i + 3]) >= 0) {
      value += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      value += text[i];
    }
  }
  return value;
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// Reads the lines into `settings`; false with what is wrong in `what`.
bool ParseSettings(std::string text, PlayerSettings& settings, std::string& what) {
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // an editor's BOM
  if (text.find('\0') != std::string::npos) {
    what = "contains zero bytes";
    return false;
  }
  if (!platform::IsUtf8(text)) {
    what = "is not UTF-8 text";
    return false;
  }
  static const char* const kKeys[] = {"voice", "rate", "volume", "flags", "games",
                                      "interpreter", "echo-last-word", "announce-room", "screen-reader"};
  constexpr int kKeyCount = 9;
  bool seen[kKeyCount] = {};
  size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    // A file edited on Windows; a CR anywhere else is damage, caught below.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string lineName = "line " + std::to_string(number);
    if (IsBlank(line) || line[line.find_first_not_of(" \t")] == '#') continue;
    const size_t equals = line.find('=');
    int key = -1;
    for (int k = 0; k < kKeyCount && equals != std::string::npos; ++k) {
      if (line.compare(0, equals, kKeys[k]) == 0) key = k;
    }
    const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
    if (key < 0 || value.find('\r') != std::string::npos) {
      what = lineName + " is not a setting";
      return false;
    }
    if (seen[key]) {
      // Two answers to one question: which one the user meant is anyone's guess.
      what = lineName + " repeats " + kKeys[key];
      return false;
    }
    seen[key] = true;
    long long parsed = 0;
    switch (key) {
      case 0: settings.voiceId = value; break;
      case 4: settings.gamesFolder = UnescapedBytes(value); break;
      case 5: settings.interpreter = value; break;
      case 6:
      case 7:
      case 8:
        if (value != "yes" && value != "no") {
          what = lineName + ": " + kKeys[key] + " must be yes or no";
          return false;
        }
        (key == 6 ? settings.echoLastWord : key == 7 ? settings.announceRoom : settings.screenReader) =
            value == "yes";
        break;
      case 1:
        if (!ParseWholeNumber(value, -10, 10, parsed)) {
          what = lineName + ": rate must be a number from -10 to 10";
          return false;
        }
        settings.rate = static_cast<long>(parsed);
        break;
      case 2:
        if (!ParseWholeNumber(value, 0, 100, parsed)) {
          what = lineName + ": volume must be a number from 0 to 100";
          return false;
        }
        settings.volume = static_cast<int>(parsed);
        break;
      case 3:
        if (!ParseWholeNumber(value, 0, UINT32_MAX, parsed)) {
          what = lineName + ": flags must be a number from 0 to 4294967295";
          return false;
        }
        settings.flags = static_cast<uint32_t>(parsed);
        break;
    }
  }
  return true;
}

// The file a chain of symlinks ends at (which may not exist yet), so that
// the rename replaces the target and leaves the user's link alone.
bool FollowLinks(std::string& path, std::string& what) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string target(4096, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) {
      what = "cannot follow the link (" + Reason(length < 0 ? errno : ENAMETOOLONG) + ")";
      return false;
    }
    target.resize(static_cast<size_t>(length));
    path = target[0] == '/' ? target : FolderOf(path) + "/" + target;
  }
  what = "cannot follow the link (" + Reason(ELOOP) + ")";
  return false;
}

bool ReplaceFile(std::string path, const std::string& text, std::string& what) {
  if (!FollowLinks(path, what)) return false;
  struct stat old;
  const bool exists = lstat(path.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    what = "is not a regular file; it was left as it is";
    return false;
  }
  // A file the user opened up (or locked down) keeps its permissions.
  return player::WriteWholeFile(path, text, exists ? static_cast<int>(old.st_mode & 07777) : -1, what);
}

}  // namespace

bool PlayerSettings::operator==(const PlayerSettings& other) const {
  return voiceId == other.voiceId && rate == other.rate && volume == other.volume &&
         flags == other.flags && gamesFolder == other.gamesFolder &&
         interpreter == other.interpreter && echoLastWord == other.echoLastWord &&
         announceRoom == other.announceRoom && screenReader == other.screenReader;
}

std::string SettingsPath() {
  try {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME or HOME would put the file wherever the
    // player happened to start.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/narro/player.conf";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/narro/player.conf";
  } catch (...) {
  }
  return {};
}

PlayerSettings LoadSettings(const std::string& path, std::string& problem) {
  problem.clear();
  try {
    if (path.empty()) return {};
    std::string text, what;
    bool missing = false;
    PlayerSettings settings;
    if (player::ReadSmallFile(path, kLargestFile, text, what, missing) &&
        ParseSettings(text, settings, what)) {
      return settings;
    }
    if (missing) return {};
    problem = path + ": " + what + "; using the defaults";
  } catch (...) {
    problem = path + ": cannot be read (out of memory); using the defaults";
  }
  return {};
}

bool SaveSettings(const std::string& path, const PlayerSettings& settings, std::string& problem) {
  problem.clear();
  try {
    if (path.empty()) {
      problem = "The settings were not saved: neither XDG_CONFIG_HOME nor HOME names a folder";
      return false;
    }
    std::string what;
    if (!(what = Unstorable(settings.voiceId)).empty()) {
      what = "the voice " + what;
    } else if (!(what = Unstorable(settings.interpreter)).empty()) {
      what = "the interpreter " + what;
    } else if (settings.rate < -10 || settings.rate > 10) {
      what = "the rate " + std::to_string(settings.rate) + " is not from -10 to 10";
    } else if (settings.volume < 0 || settings.volume > 100) {
      what = "the volume " + std::to_string(settings.volume) + " is not from 0 to 100";
    } else {
      const std::string text = "# narro-play settings\nvoice=" + settings.voiceId +
                               "\nrate=" + std::to_string(settings.rate) +
                               "\nvolume=" + std::to_string(settings.volume) +
                               "\nflags=" + std::to_string(settings.flags) +
                               "\ngames=" + EscapedBytes(settings.gamesFolder) +
                               "\ninterpreter=" + settings.interpreter +
                               "\necho-last-word=" + (settings.echoLastWord ? "yes" : "no") +
                               "\nannounce-room=" + (settings.announceRoom ? "yes" : "no") + "\n" +
                               // Written only when on: a file of an earlier narro-play stays
                               // one that it reads.
                               (settings.screenReader ? "screen-reader=yes\n" : "");
      if (ReplaceFile(path, text, what)) return true;
    }
    problem = path + ": " + what + "; the settings were not saved";
  } catch (...) {
    problem = path + ": out of memory; the settings were not saved";
  }
  return false;
}

}  // namespace player
