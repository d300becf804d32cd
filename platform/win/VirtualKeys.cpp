// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/KeyEvent.h"

#include "platform/win/Messages.h"

namespace platform {

unsigned VirtualKeyOf(wchar_t ch) {
  if (ch >= L'a' && ch <= L'z') return static_cast<unsigned>(ch - L'a' + L'A');
  if (ch >= L'A' && ch <= L'Z') return static_cast<unsigned>(ch);
  if (ch >= L'0' && ch <= L'9') return static_cast<unsigned>(ch);
  switch (ch) {
    case L' ': return VK_SPACE;
    case L'\r': case L'\n': return VK_RETURN;
    case L'\t': return VK_TAB;
    case L'\b': return VK_BACK;
    case 27: return VK_ESCAPE;
    case L')': return '0';
    case L'!': return '1';
    case L'@': return '2';
    case L'#': return '3';
    case L'$': return '4';
    case L'%': return '5';
    case L'^': return '6';
    case L'&': return '7';
    case L'*': return '8';
    case L'(': return '9';
    case L';': case L':': return VK_OEM_1;
    case L'=': case L'+': return VK_OEM_PLUS;
    case L',': case L'<': return VK_OEM_COMMA;
    case L'-': case L'_': return VK_OEM_MINUS;
    case L'.': case L'>': return VK_OEM_PERIOD;
    case L'/': case L'?': return VK_OEM_2;
    case L'`': case L'~': return VK_OEM_3;
    case L'[': case L'{': return VK_OEM_4;
    case L'\\': case L'|': return VK_OEM_5;
    case L']': case L'}': return VK_OEM_6;
    case L'\'': case L'"': return VK_OEM_7;
    default: return VK_PACKET;
  }
}

}  // namespace platform
