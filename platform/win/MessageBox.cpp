// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/MessageBox.h"

#include <vector>

#include "platform/locale/TextEncoding.h"
#include "platform/win/Dialog.h"
#include "platform/win/WinLog.h"

namespace platform {

namespace {

struct ButtonSpec {
  int answer;
  const wchar_t* text;
};

std::vector<ButtonSpec> ButtonsOf(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, L"&Abort"}, {IDRETRY, L"&Retry"}, {IDIGNORE, L"&Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, L"&Yes"}, {IDNO, L"&No"}, {IDCANCEL, L"Cancel"}};
    case MB_YESNO:
      return {{IDYES, L"&Yes"}, {IDNO, L"&No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, L"&Retry"}, {IDCANCEL, L"Cancel"}};
    default:
      return {{IDOK, L"OK"}};
  }
}

bool HasCancel(unsigned type) {
  for (const ButtonSpec& button : ButtonsOf(type)) {
    if (button.answer == IDCANCEL) return true;
  }
  return false;
}

class MessageBoxDialog : public Dialog {
 public:
  explicit MessageBoxDialog(unsigned type) : m_type(type) { SetAnnounceButtons(true); }

 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != WM_COMMAND) return false;
    result = 0;
    const int id = static_cast<int>(LOWORD(wParam));
    if (id == IDCANCEL && !HasCancel(m_type)) {
      // Escape: OK on a box with OK alone, nothing where there is no way out.
      if ((m_type & MB_TYPEMASK) == MB_OK) EndDialog(IDOK);
      return true;
    }
    for (const ButtonSpec& button : ButtonsOf(m_type)) {
      if (button.answer == id) EndDialog(id);
    }
    return true;
  }
  void GiveUp() override { EndDialog(GiveUpAnswer(m_type)); }

 private:
  unsigned m_type;
};

class TerminalBoxes : public MessageBoxes {
 public:
  int Show(void* owner, const std::string& text, const std::string& caption,
           unsigned type) override {
    DialogTemplate box{0, WideFromLocale(caption), 186, 60, {}};
    box.controls.push_back(
        {IDC_STATIC, ControlKind::kStatic, WideFromLocale(text), WS_GROUP, 7, 7, 172, 30});
    bool first = true;
    for (const ButtonSpec& button : ButtonsOf(type)) {
      unsigned style = WS_TABSTOP;
      if (first) style |= WS_GROUP | BS_DEFPUSHBUTTON;
      first = false;
      box.controls.push_back({button.answer, ControlKind::kButton, button.text, style, 7, 40, 50, 14});
    }
    MessageBoxDialog dialog(type);
    const int answer = dialog.DoModal(static_cast<HWND>(owner), box);
    if (answer >= 0) return answer;
    WinLog("No terminal for the box \"" + caption + ": " + text + "\": answered as cancelled");
    return GiveUpAnswer(type);
  }
};

}  // namespace

MessageBoxes& MessageBoxes::Real() {
  // Never destroyed: boxes may be shown while the process exits.
  static auto* boxes = new TerminalBoxes();
  return *boxes;
}

int MessageBox(void* owner, const std::string& text, const std::string& caption,
               unsigned type) {
  return Current<MessageBoxes>().Show(owner, text, caption, type);
}

int DefaultButton(unsigned type) { return ButtonsOf(type).front().answer; }

int GiveUpAnswer(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNO:
      return IDNO;
    case MB_OK:
      return IDOK;
    default:
      return HasCancel(type) ? IDCANCEL : IDOK;
  }
}

}  // namespace platform
