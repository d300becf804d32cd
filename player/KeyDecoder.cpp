// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KeyDecoder.h"

#include <cstdlib>

#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

Key Make(KeyCode code) { return Key{code, 0, 0}; }
Key Function(int number) { return Key{KeyCode::kFunction, 0, number}; }

// The key of an "ESC [ n ~" sequence.
Key TildeKey(int n) {
  switch (n) {
    case 1: case 7: return Make(KeyCode::kHome);
    case 4: case 8: return Make(KeyCode::kEnd);
    case 3: return Make(KeyCode::kDelete);
    case 5: return Make(KeyCode::kPageUp);
    case 6: return Make(KeyCode::kPageDown);
    case 11: case 12: case 13: case 14: case 15: return Function(n - 10);
    case 17: case 18: case 19: case 20: case 21: return Function(n - 11);
    case 23: case 24: return Function(n - 12);
    default: return Make(KeyCode::kOther);
  }
}

// The key of a final letter after ESC [ or ESC O.
Key LetterKey(char final) {
  switch (final) {
    case 'A': return Make(KeyCode::kUp);
    case 'B': return Make(KeyCode::kDown);
    case 'C': return Make(KeyCode::kRight);
    case 'D': return Make(KeyCode::kLeft);
    case 'H': return Make(KeyCode::kHome);
    case 'F': return Make(KeyCode::kEnd);
    case 'P': return Function(1);
    case 'Q': return Function(2);
    case 'R': return Function(3);
    case 'S': return Function(4);
    default: return Make(KeyCode::kOther);
  }
}

// Length of the UTF-8 sequence led by c; 1 for a byte that leads none.
size_t Utf8Length(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 1;
}

}  // namespace

void KeyDecoder::Feed(const std::string& bytes) { m_bytes += bytes; }

std::optional<Key> KeyDecoder::Next() {
  if (m_bytes.empty()) return std::nullopt;
  const unsigned char c = static_cast<unsigned char>(m_bytes[0]);
  if (c == 0x1B) {
    if (m_bytes.size() == 1) return std::nullopt;
    const char second = m_bytes[1];
    if (second == '[' || second == 'O') {
      // The Linux console's F1..F5: ESC [ [ A..E.
      if (second == '[' && m_bytes.size() >= 3 && m_bytes[2] == '[') {
        if (m_bytes.size() < 4) return std::nullopt;
        const char letter = m_bytes[3];
        m_bytes.erase(0, 4);
        if (letter >= 'A' && letter <= 'E') return Function(letter - 'A' + 1);
        return Make(KeyCode::kOther);
      }
      size_t i = 2;
      while (i < m_bytes.size() && static_cast<unsigned char>(m_bytes[i]) >= 0x20 &&
             static_cast<unsigned char>(m_bytes[i]) <= 0x3F) {
        ++i;
      }
      if (i >= m_bytes.size()) return std::nullopt;
      const char final = m_bytes[i];
      const std::string parameters = m_bytes.substr(2, i - 2);
      m_bytes.erase(0, i + 1);
      if (final == '~') return TildeKey(std::atoi(parameters.c_str()));
      // A terminal's answer to where its cursor is (ESC [ row ; column R)
      // that came late, after the player stopped waiting for it, is no
      // F3: F3 with a modifier is ESC [ 1 ; m R, m from 2.
      if (final == 'R' && second == '[' && !parameters.empty() &&
          (parameters.compare(0, 2, "1;") != 0 || parameters == "1;1")) {
        return Make(KeyCode::kOther);
      }
      return LetterKey(final);
    }
    if (second == 0x1B) {
      m_bytes.erase(0, 1);
      return Make(KeyCode::kEscape);
    }
    // Alt and a key: ESC then the key's character.
    const size_t length = Utf8Length(static_cast<unsigned char>(second));
    if (m_bytes.size() < 1 + length) return std::nullopt;
    const std::wstring ch = platform::WideFromUtf8(m_bytes.substr(1, length));
    // As for a key without Alt: a bad byte is taken alone, the bytes after
    // it are keys of their own.
    m_bytes.erase(0, ch.size() == 1 ? 1 + length : 2);
    return Key{KeyCode::kAlt, ch.empty() ? L'\0' : ch[0], 0};
  }
  if (c < 0x20 || c == 0x7F) {
    m_bytes.erase(0, 1);
    switch (c) {
      case '\r': case '\n': return Make(KeyCode::kEnter);
      case 0x7F: case 0x08: return Make(KeyCode::kBackspace);
      case '\t': return Make(KeyCode::kTab);
      case 0x03: return Make(KeyCode::kCtrlC);
      case 0x04: return Make(KeyCode::kCtrlD);
      case 0x0C: return Make(KeyCode::kCtrlL);
      default: return Make(KeyCode::kOther);
    }
  }
  const size_t length = Utf8Length(c);
  if (m_bytes.size() < length) return std::nullopt;
  const std::wstring text = platform::WideFromUtf8(m_bytes.substr(0, length));
  // A bad byte is one replacement character; the rest is read again.
  const size_t used = text.size() == 1 ? length : 1;
  m_bytes.erase(0, used);
  return Key{KeyCode::kChar, text.empty() ? L'\xFFFD' : text[0], 0};
}

std::optional<Key> KeyDecoder::Flush() {
  if (std::optional<Key> key = Next()) return key;
  if (m_bytes.empty()) return std::nullopt;
  if (m_bytes[0] == 0x1B) {
    m_bytes.erase(0, 1);
    return Make(KeyCode::kEscape);
  }
  // A UTF-8 sequence cut short.
  m_bytes.erase(0, 1);
  return Key{KeyCode::kChar, L'\xFFFD', 0};
}

}  // namespace player
