// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 message vocabulary of the window layer: message numbers,
// notification codes, virtual-key codes and the small word helpers, with
// Windows' own values, so that message maps written for Windows read the
// same here.
#ifndef NARRO_PLATFORM_WIN_MESSAGES_H_
#define NARRO_PLATFORM_WIN_MESSAGES_H_

#include <cstdint>

namespace platform {

class Window;
using HWND = Window*;
using UINT = unsigned int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
  return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LOWORD(uintptr_t value) { return value & 0xFFFFu; }
constexpr unsigned HIWORD(uintptr_t value) { return (value >> 16) & 0xFFFFu; }

enum : UINT {
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D,
  WM_GETTEXTLENGTH = 0x000E,
  WM_CLOSE = 0x0010,
  WM_NOTIFY = 0x004E,
  WM_GETDLGCODE = 0x0087,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_CONTEXTMENU = 0x007B,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_USER = 0x0400,
  // A notification sent back to the control it came from.
  OCM__BASE = WM_USER + 0x1C00,
  OCM_COMMAND = OCM__BASE + WM_COMMAND,  // 0x2111
  OCM_NOTIFY = OCM__BASE + WM_NOTIFY,

  EM_GETSEL = 0x00B0,
  EM_SETSEL = 0x00B1,
  EM_LIMITTEXT = 0x00C5,

  BM_CLICK = 0x00F5,

  LB_ADDSTRING = 0x0180,
  LB_INSERTSTRING = 0x0181,
  LB_DELETESTRING = 0x0182,
  LB_RESETCONTENT = 0x0184,
  LB_SETCURSEL = 0x0186,
  LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189,
  LB_GETTEXTLEN = 0x018A,
  LB_GETCOUNT = 0x018B,
  LB_SELECTSTRING = 0x018C,
  LB_GETTOPINDEX = 0x018E,
  LB_FINDSTRING = 0x018F,
  LB_SETTOPINDEX = 0x0197,
  LB_GETITEMDATA = 0x0199,
  LB_SETITEMDATA = 0x019A,
  LB_FINDSTRINGEXACT = 0x01A2,

  DM_GETDEFID = WM_USER + 0,
  DM_SETDEFID = WM_USER + 1,
};

enum : int {
  LB_OKAY = 0,
  LB_ERR = -1,
};

// Notification codes, in the high word of a WM_COMMAND's wParam.
enum : unsigned {
  BN_CLICKED = 0,
  LBN_SELCHANGE = 1,
  LBN_DBLCLK = 2,
  LBN_SELCANCEL = 3,
  LBN_SETFOCUS = 4,
  LBN_KILLFOCUS = 5,
  EN_CHANGE = 0x0300,
};

// Answers to WM_GETDLGCODE: which keys a control keeps from the dialog.
enum : LRESULT {
  DLGC_WANTARROWS = 0x0001,
  DLGC_WANTTAB = 0x0002,
  DLGC_WANTALLKEYS = 0x0004,
  DLGC_HASSETSEL = 0x0008,
  DLGC_DEFPUSHBUTTON = 0x0010,
  DLGC_UNDEFPUSHBUTTON = 0x0020,
  DLGC_STATIC = 0x0100,
  DLGC_BUTTON = 0x2000,
  DLGC_WANTCHARS = 0x0080,
};

enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

enum : unsigned {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_CONTROL = 0x11,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_APPS = 0x5D,  // the menu key; the terminal gives Shift-F10 this key too
  VK_F1 = 0x70,
  VK_F12 = 0x7B,
  VK_OEM_1 = 0xBA,       // ;:
  VK_OEM_PLUS = 0xBB,    // =+
  VK_OEM_COMMA = 0xBC,   // ,<
  VK_OEM_MINUS = 0xBD,   // -_
  VK_OEM_PERIOD = 0xBE,  // .>
  VK_OEM_2 = 0xBF,       // /?
  VK_OEM_3 = 0xC0,       // `~
  VK_OEM_4 = 0xDB,       // [{
  VK_OEM_5 = 0xDC,       // \|
  VK_OEM_6 = 0xDD,       // ]}
  VK_OEM_7 = 0xDE,       // '"
  VK_PACKET = 0xE7,      // a character that no key of the layout types
};

// Window styles the layer looks at.
enum : unsigned {
  WS_TABSTOP = 0x00010000,
  WS_GROUP = 0x00020000,
  LBS_NOTIFY = 0x0001,
  LBS_SORT = 0x0002,
  BS_DEFPUSHBUTTON = 0x0001,
  ES_AUTOHSCROLL = 0x0080,
};

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_MESSAGES_H_
