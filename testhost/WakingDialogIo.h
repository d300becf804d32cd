// SPDX-License-Identifier: GPL-3.0-or-later
// The test host's keys and screen: the window layer's own (terminal or key
// script), with one addition. The monitor captures text on its worker
// thread while the modal loop may be waiting for a key; the window layer
// takes no locks, so the worker may not post to it. Instead it wakes this
// wait through a pipe, and the wait, back on the dialog's thread, posts the
// debug-text message there.
#ifndef NARRO_TESTHOST_WAKING_DIALOG_IO_H_
#define NARRO_TESTHOST_WAKING_DIALOG_IO_H_

#include <atomic>

#include "platform/win/DialogIo.h"
#include "platform/win/Messages.h"

class CWakingDialogIo : public platform::DialogIo {
 public:
  // inner: where keys really come from; tty: a descriptor of the terminal
  // to wait on, -1 when keys come from a script (they never wait).
  CWakingDialogIo(platform::DialogIo& inner, int tty);
  ~CWakingDialogIo() override;

  // Which window gets `message` when woken; only while it is the dialog on
  // top, so that the pane stays as it is during a test's own boxes.
  void SetTarget(platform::HWND window, platform::UINT message);
  // Any thread: there is new text to show.
  void Wake();

  bool Open() override { return m_inner.Open(); }
  void Show(platform::Dialog& dialog) override { m_inner.Show(dialog); }
  bool NextKey(platform::KeyEvent& key) override;
  void Close() override { m_inner.Close(); }

 private:
  bool PostIfDue();
  void Drain();

  platform::DialogIo& m_inner;
  int m_tty;
  int m_pipe[2] = {-1, -1};
  std::atomic<bool> m_due{false};
  platform::HWND m_target = nullptr;
  platform::UINT m_message = 0;
};

#endif  // NARRO_TESTHOST_WAKING_DIALOG_IO_H_
