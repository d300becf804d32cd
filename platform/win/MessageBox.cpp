#include "platform/win/MessageBox.h"

#include <cstdio>

namespace platform {

namespace {

MessageBoxHandler& Handler() {
  // Never destroyed: boxes may be shown while the process exits.
  static auto* handler = new MessageBoxHandler();
  return *handler;
}

}  // namespace

int DefaultButton(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return IDYES;
    case MB_RETRYCANCEL:
      return IDRETRY;
    default:
      return IDOK;
  }
}

int MessageBox(void* owner, const std::string& text, const std::string& caption,
               unsigned type) {
  if (Handler()) return Handler()(owner, text, caption, type);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return DefaultButton(type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
  Handler() = std::move(handler);
}

}  // namespace platform
