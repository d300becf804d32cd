// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/TerminalKeys.h"

#include <ncursesw/curses.h>
#include <signal.h>

#include "platform/win/Messages.h"

namespace platform {

namespace {
volatile sig_atomic_t g_interrupted = 0;
}  // namespace

void InterruptTerminalDialogs() { g_interrupted = 1; }

bool TakeTerminalInterrupt() {
  if (!g_interrupted) return false;
  g_interrupted = 0;
  return true;
}

bool KeyOfCharacter(wchar_t ch, KeyEvent& key) {
  switch (ch) {
    case L'\r':
    case L'\n':
      key = {KeyEvent::kKey, VK_RETURN, L'\r'};
      return true;
    case 27:
      key = {KeyEvent::kKey, VK_ESCAPE, 27};
      return true;
    case L'\t':
      key = {KeyEvent::kKey, VK_TAB, L'\t'};
      return true;
    case 8:
    case 127:
      key = {KeyEvent::kKey, VK_BACK, L'\b'};
      return true;
    case 3:
      key = {KeyEvent::kInterrupt, 0, 0};
      return true;
    default:
      if (ch < 32 || (ch >= 128 && ch < 160)) return false;
      key = {KeyEvent::kKey, VirtualKeyOf(ch), ch};
      return true;
  }
}

bool KeyOfCursesCode(int code, KeyEvent& key) {
  unsigned vk = 0;
  switch (code) {
    case KEY_UP: vk = VK_UP; break;
    case KEY_DOWN: vk = VK_DOWN; break;
    case KEY_LEFT: vk = VK_LEFT; break;
    case KEY_RIGHT: vk = VK_RIGHT; break;
    case KEY_PPAGE: vk = VK_PRIOR; break;
    case KEY_NPAGE: vk = VK_NEXT; break;
    case KEY_HOME: vk = VK_HOME; break;
    case KEY_END: vk = VK_END; break;
    case KEY_IC: vk = VK_INSERT; break;
    case KEY_DC: vk = VK_DELETE; break;
    case KEY_BTAB:
      key = {KeyEvent::kKey, VK_TAB, L'\t', true};
      return true;
    case KEY_ENTER:
      key = {KeyEvent::kKey, VK_RETURN, L'\r'};
      return true;
    case KEY_BACKSPACE:
      key = {KeyEvent::kKey, VK_BACK, L'\b'};
      return true;
    case KEY_RESIZE:
      key = {KeyEvent::kResize, 0, 0};
      return true;
    case KEY_F(22):
      // Shift-F10: a context menu, as the menu key asks for one; the
      // shift is not told apart otherwise, so it becomes that key.
      vk = VK_APPS;
      break;
    default:
      if (code >= KEY_F(1) && code <= KEY_F(12)) {
        vk = VK_F1 + static_cast<unsigned>(code - KEY_F(1));
        break;
      }
      return false;
  }
  key = {KeyEvent::kKey, vk, 0};
  return true;
}

}  // namespace platform
