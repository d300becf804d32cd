// MessageBox: a question or notice with buttons. Until dialogs can be drawn
// in the terminal, the caption and text go to standard error and the
// default (first) button is the answer. Tests choose the answer through the
// seam below.
#ifndef NARRO_PLATFORM_WIN_MESSAGE_BOX_H_
#define NARRO_PLATFORM_WIN_MESSAGE_BOX_H_

#include <functional>
#include <string>

namespace platform {

enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_ICONQUESTION = 0x20,
  MB_TYPEMASK = 0xF,
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

using MessageBoxHandler = std::function<int(
    void* owner, const std::string& text, const std::string& caption,
    unsigned type)>;

int MessageBox(void* owner, const std::string& text, const std::string& caption,
               unsigned type);

// Replaces how boxes are answered; an empty handler restores the default.
void SetMessageBoxHandler(MessageBoxHandler handler);

// The answer of the first button of a box of this type.
int DefaultButton(unsigned type);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_MESSAGE_BOX_H_
