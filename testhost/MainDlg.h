// SPDX-License-Identifier: GPL-3.0-or-later
// NarroTest's one window: Test Speech, Test Save, the output pane with what
// every program writes to the debug output, DONE and About. The monitor
// runs on a worker thread and hands its text over under a lock; the pane is
// only ever touched on the dialog's thread.
#ifndef NARRO_TESTHOST_MAIN_DLG_H_
#define NARRO_TESTHOST_MAIN_DLG_H_

#include <atomic>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "narro/Narro.h"
#include "platform/debugout/DebugOutput.h"
#include "platform/win/Dialog.h"

class CWakingDialogIo;

enum : int {
  IDC_TEST_SPEECH = 1,
  IDC_DONE = 2,
  IDC_TEST_SAVE = 3,
  IDC_OUTPUT = 1000,
  ID_APP_ABOUT = 57664,
  ID_OUTPUT_COPY = 202,
  ID_OUTPUT_CLEAR = 203,
  ID_OUTPUT_SELECT_ALL = 204,
  // The debug-text message; the registered message of the original host has
  // no registry here, so it is a fixed private number.
  WM_DEBUG_TEXT = platform::WM_USER + 0x100,
};

// The pane keeps at most this many lines before the next text clears it.
constexpr int kPaneLineLimit = 1000;

class CMainDlg : public platform::Dialog {
 public:
  explicit CMainDlg(CWakingDialogIo& io);
  ~CMainDlg() override;

  int Run();

  // Worker side: add text for the pane.
  void AppendPending(const std::string& text);

 protected:
  bool DialogProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam,
                  platform::LRESULT& result) override;

 private:
  void OnInitDialog();
  void TestSpeech();
  void TestSave();
  void ShowPending();
  void AppendToPane(const std::string& text);
  void ClearPane();
  void Close();
  void ShowPaneMenu();
  void CopySelection();
  void SelectAll();
  void StartMonitor();
  void Monitor(platform::DebugOutputListener& listener);
  void StopMonitor();

  ManagedNARRO m_narro;
  CWakingDialogIo& m_io;
  platform::HWND m_pane = nullptr;
  std::atomic<bool> m_running{true};
  std::mutex m_lock;
  std::ostringstream m_pending;
  std::thread m_worker;
  bool m_paneEndsLine = true;  // the pane's last line is complete
  // After Select All, the whole pane is the selection until the cursor
  // moves; otherwise it is the line under the cursor.
  bool m_allSelected = false;
  int m_selectedAt = -1;
  // The menu key on the pane asks the dialog for the pop-up menu.
  class CPaneKeys : public platform::Subclass {
   protected:
    platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                                 platform::LPARAM lParam) override;
  } m_paneKeys;
};

// The test host's printf-style log line to the debug output.
void TestLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif  // NARRO_TESTHOST_MAIN_DLG_H_
