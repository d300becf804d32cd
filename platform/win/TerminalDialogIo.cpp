#include "platform/win/TerminalDialogIo.h"

namespace platform {

namespace {

class NoTerminal : public DialogIo {
 public:
  bool Open() override { return false; }
  void Show(Dialog&) override {}
  bool NextKey(KeyEvent&) override { return false; }
  void Close() override {}
};

}  // namespace

DialogIo& TerminalDialogIo() {
  static NoTerminal none;
  return none;
}

}  // namespace platform
