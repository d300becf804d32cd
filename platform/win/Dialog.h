// SPDX-License-Identifier: GPL-3.0-or-later
// A modal dialog built from a template (DialogTemplate.h), after ATL's
// CDialogImpl: derive, handle messages in DialogProc, call DoModal.
//
// DoModal makes the controls, sends WM_INITDIALOG, then runs the modal loop
// until EndDialog: posted messages first, then the next key. A key goes
// through the dialog's keyboard handling as IsDialogMessage does it on
// Windows, asking the focused control with WM_GETDLGCODE which keys it keeps:
//   Tab          moves to the next tab stop (round to the first), Shift-Tab
//                to the one before;
//   Enter        the focused push button's command, else the default
//                button's, else command 1 (IDOK);
//   Escape       command 2 (IDCANCEL);
//   arrows       on a control that does not keep them, to the previous or
//                next tab stop, without wrapping;
//   a character  that a control does not keep presses the button whose
//                mnemonic it is (Space presses the focused button).
// Everything else reaches the focused control as WM_KEYDOWN, followed by
// WM_CHAR for the character the key types.
//
// When no key will come any more (the key script is used up, the terminal
// is gone) or the player presses Ctrl-C, the dialog gives up: GiveUp sends
// command 2 and, should the dialog still be open, ends it with 2. Nothing can
// keep a dialog open without keys.
#ifndef NARRO_PLATFORM_WIN_DIALOG_H_
#define NARRO_PLATFORM_WIN_DIALOG_H_

#include <memory>
#include <vector>

#include "platform/win/DialogTemplate.h"
#include "platform/win/Window.h"

namespace platform {

class Dialog : public Window {
 public:
  Dialog();
  ~Dialog() override;
  const char* ClassName() const override { return "Dialog"; }

  // The end code; -1 when the dialog could not be shown (no such template,
  // no terminal and no key script).
  int DoModal(HWND parent, int templateResource, LPARAM initParam = 0);
  int DoModal(HWND parent, const DialogTemplate& dialogTemplate, LPARAM initParam = 0);
  // Ends the modal loop once the message being handled returns.
  void EndDialog(int code);

  HWND GetDlgItem(int id) const;
  // The controls in template order (the tab order).
  const std::vector<std::unique_ptr<Window>>& Controls() const { return m_controls; }
  // Whether moving the focus with a key says the button reached (message
  // boxes do, flags 3).
  void SetAnnounceButtons(bool announce) { m_announceButtons = announce; }

  // The dialog open on top, null when none.
  static Dialog* Active();

 protected:
  // The derived dialog's message map: true when it handled the message,
  // with its result in `result`. Unhandled, WM_COMMAND 1 and 2 end the
  // dialog with that code and WM_CLOSE becomes command 2.
  virtual bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Sends a child's notification back to the child with OCM__BASE added
  // (ATL's REFLECT_NOTIFICATIONS); false when the message is none.
  bool ReflectNotifications(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // No keys will come, or Ctrl-C: answer so that nothing is done.
  virtual void GiveUp();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls(const DialogTemplate& dialogTemplate);
  void RunLoop();
  void Deliver(const struct QueuedMessage& message);
  // Dialog keyboard handling; true when the key was the dialog's.
  bool DialogKey(HWND target, UINT message, WPARAM key, bool shift);
  void Command(int id, HWND from);
  void MoveFocus(int step, bool wrap);
  bool PressMnemonic(wchar_t ch);

  std::vector<std::unique_ptr<Window>> m_controls;
  bool m_ended = false;
  int m_code = 0;
  bool m_announceButtons = false;
  Dialog* m_below = nullptr;
};

// The dialog open on top (the window a box or a dialog opened now would be
// over), null when none is open.
HWND GetActiveWindow();
// EndDialog on the dialog of that handle; false when it is none.
bool EndDialog(HWND dialog, int code);
// The control of that id in the dialog; null when there is none.
HWND GetDlgItem(HWND dialog, int id);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_DIALOG_H_
