// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/PlainTerminal.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/locale/TextEncoding.h"
#include "platform/win/Dialog.h"
#include "platform/win/DialogLayout.h"
#include "platform/win/Messages.h"
#include "platform/win/TerminalKeys.h"
#include "platform/file/WriteAll.h"

namespace platform {

namespace {

// A dialog opens with one screenful of lines, as a 80 by 24 terminal would
// show it, rather than every entry of a long list.
constexpr int kWidth = 80;
constexpr int kHeight = 24;
// How long the rest of an escape sequence may take to arrive after ESC.
constexpr int kSequenceMs = 50;

class PlainTerminal : public DialogIo {
 public:
  PlainTerminal(int fd, const termios& saved) : m_fd(fd), m_saved(saved) {}
  ~PlainTerminal() override { tcsetattr(m_fd, TCSAFLUSH, &m_saved); }

  bool Open() override {
    m_shownDialog = nullptr;
    return true;
  }
  void Close() override { m_shownDialog = nullptr; }

  void Show(Dialog& dialog) override {
    const Frame frame = LayOut(dialog, kWidth, kHeight);
    std::wstring text;
    if (m_shownDialog != &dialog) {
      m_shownDialog = &dialog;
      for (const FrameLine& line : frame.lines) text += line.text + L"\r\n";
    } else if (frame.cursorRow < static_cast<int>(frame.lines.size()) &&
               frame.lines[frame.cursorRow].text != m_cursorLine) {
      text = frame.lines[frame.cursorRow].text + L"\r\n";
    }
    if (frame.cursorRow < static_cast<int>(frame.lines.size())) {
      m_cursorLine = frame.lines[frame.cursorRow].text;
    }
    const std::string bytes = Utf8FromWide(text);
    WriteAll(m_fd, bytes);
  }

  bool NextKey(KeyEvent& key) override {
    for (;;) {
      unsigned char byte = 0;
      if (TakeTerminalInterrupt()) m_interrupted = true;
      else if (!ReadByte(byte, -1) && !m_interrupted) return false;  // the terminal is gone
      if (m_interrupted) {
        m_interrupted = false;
        key = {KeyEvent::kInterrupt, 0, 0};
        return true;
      }
      if (byte == 27) {
        if (EscapeSequence(key)) return true;
        continue;
      }
      wchar_t ch = byte;
      if (byte >= 0x80) ch = Utf8Rest(byte);
      if (KeyOfCharacter(ch, key)) return true;
    }
  }

 private:
  static constexpr int kWaitSliceMs = 100;

  bool ReadByte(unsigned char& byte, int timeoutMs) {
    for (;;) {
      // Waiting for good, a tenth of a second at a time: the signal of a
      // request to stop may be taken by another thread of the program,
      // which leaves this wait unwoken.
      if (timeoutMs < 0 && TakeTerminalInterrupt()) {
        m_interrupted = true;
        return false;
      }
      pollfd ready{m_fd, POLLIN, 0};
      const int polled = poll(&ready, 1, timeoutMs < 0 ? kWaitSliceMs : timeoutMs);
      if (polled < 0 && errno == EINTR) continue;
      if (polled == 0 && timeoutMs < 0) continue;
      if (polled <= 0) return false;
      const ssize_t got = read(m_fd, &byte, 1);
      if (got < 0 && errno == EINTR) continue;
      return got == 1;
    }
  }

  wchar_t Utf8Rest(unsigned char lead) {
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    std::string bytes(1, static_cast<char>(lead));
    unsigned char next = 0;
    while (more-- > 0 && ReadByte(next, kSequenceMs)) bytes.push_back(static_cast<char>(next));
    const std::wstring decoded = WideFromUtf8(bytes);
    return decoded.empty() ? L'?' : decoded[0];
  }

  // ESC alone is Escape; ESC [ or ESC O begins a key's sequence.
  bool EscapeSequence(KeyEvent& key) {
    unsigned char next = 0;
    if (!ReadByte(next, kSequenceMs) || (next != '[' && next != 'O')) {
      key = {KeyEvent::kKey, VK_ESCAPE, 27};
      return true;
    }
    std::string sequence;
    while (ReadByte(next, kSequenceMs)) {
      sequence.push_back(static_cast<char>(next));
      if (next >= 0x40 && next <= 0x7E) break;
    }
    static const struct {
      const char* sequence;
      unsigned vk;
    } kSequences[] = {{"A", VK_UP},    {"B", VK_DOWN},   {"C", VK_RIGHT},  {"D", VK_LEFT},
                      {"H", VK_HOME},  {"F", VK_END},    {"1~", VK_HOME},  {"4~", VK_END},
                      {"7~", VK_HOME}, {"8~", VK_END},   {"2~", VK_INSERT}, {"3~", VK_DELETE},
                      {"5~", VK_PRIOR}, {"6~", VK_NEXT}};
    if (sequence == "Z") {  // Shift-Tab
      key = {KeyEvent::kKey, VK_TAB, L'\t', true};
      return true;
    }
    for (const auto& known : kSequences) {
      if (sequence == known.sequence) {
        key = {KeyEvent::kKey, known.vk, 0};
        return true;
      }
    }
    return false;
  }

  int m_fd;
  termios m_saved;
  const Dialog* m_shownDialog = nullptr;
  std::wstring m_cursorLine;
  bool m_interrupted = false;  // the wait for a key was ended by a stop request
};

}  // namespace

std::unique_ptr<DialogIo> OpenPlainTerminal(int ttyFd) {
  termios saved{};
  if (tcgetattr(ttyFd, &saved) != 0) return nullptr;
  termios raw = saved;
  cfmakeraw(&raw);
  raw.c_oflag |= OPOST;  // line feeds still return the carriage
  if (tcsetattr(ttyFd, TCSAFLUSH, &raw) != 0) return nullptr;
  return std::make_unique<PlainTerminal>(ttyFd, saved);
}

}  // namespace platform
