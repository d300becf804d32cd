// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhost/MainDlg.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>

#include "platform/debugout/DebugOutput.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/ListBox.h"
#include "platform/win/MessageBox.h"
#include "testhost/Clipboard.h"
#include "platform/debugout/MonitorText.h"
#include "testhost/SaveName.h"
#include "testhost/WakingDialogIo.h"

namespace {

const platform::DialogTemplate& MainTemplate() {
  using platform::ControlKind;
  static const platform::DialogTemplate dialogTemplate = {
      129,
      L"NarroTest",
      425,
      246,
      {
          {IDC_TEST_SPEECH, ControlKind::kButton, L"Test Speech", platform::WS_TABSTOP, 7, 7, 411, 14},
          {IDC_TEST_SAVE, ControlKind::kButton, L"Test Save", platform::WS_TABSTOP, 7, 23, 411, 14},
          {IDC_OUTPUT, ControlKind::kListBox, L"", platform::WS_TABSTOP, 7, 44, 411, 158},
          {IDC_DONE, ControlKind::kButton, L"DONE", platform::WS_TABSTOP, 368, 208, 50, 14},
          {ID_APP_ABOUT, ControlKind::kButton, L"&About...", platform::WS_TABSTOP, 368, 225, 50, 14},
      }};
  return dialogTemplate;
}

// Where the save test writes: the library's data folder, as the library
// itself decided it when it was loaded (NARRO_DATA_DIR, else beside a
// program in the build tree, else the user's XDG data folder), so that an
// installed NarroTest never tries to write beside itself.
std::string DataDirectory(CNarro& narro) {
  CTTSString root;
  narro.GetRoot(root);
  return std::string(root);
}

// The output pane's pop-up menu (resource 201, "OUTPUT"), as a short list:
// Up and Down choose, Enter takes, Escape closes it.
class COutputMenu : public platform::Dialog {
 public:
  static constexpr int kItems = 1001;
  int Choose(platform::HWND owner) {
    static const platform::DialogTemplate menu = {
        201,
        L"OUTPUT",
        80,
        40,
        {{kItems, platform::ControlKind::kListBox, L"", platform::WS_TABSTOP, 0, 0, 80, 30}}};
    const int code = DoModal(owner, menu);
    return code > 0 && code != platform::IDCANCEL ? code : 0;
  }

 protected:
  bool DialogProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM,
                  platform::LRESULT& result) override {
    const platform::HWND items = GetDlgItem(kItems);
    if (message == platform::WM_INITDIALOG) {
      for (const wchar_t* item : {L"Copy", L"Clear", L"Select All"}) {
        platform::SendMessage(items, platform::LB_ADDSTRING, 0, reinterpret_cast<platform::LPARAM>(item));
      }
      platform::SendMessage(items, platform::LB_SETCURSEL, 0);
      result = 1;
      return true;
    }
    if (message == platform::WM_COMMAND && platform::LOWORD(wParam) == platform::IDOK) {
      const platform::LRESULT chosen = platform::SendMessage(items, platform::LB_GETCURSEL);
      EndDialog(chosen >= 0 && chosen < 3 ? ID_OUTPUT_COPY + static_cast<int>(chosen) : 0);
      return true;
    }
    return false;
  }
};

}  // namespace

void TestLog(const char* format, ...) {
  char buffer[4096];
  va_list arguments;
  va_start(arguments, format);
  // A longer line is cut to the buffer: only a very long typed save name
  // gets there.
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  platform::OutputDebugString(buffer);
}

CMainDlg::CMainDlg(CWakingDialogIo& io) : m_io(io) {}

CMainDlg::~CMainDlg() {
  // The worker is joined before anything it uses goes.
  StopMonitor();
  m_narro.m_facade->release();
}

int CMainDlg::Run() { return DoModal(nullptr, MainTemplate()); }

void CMainDlg::AppendPending(const std::string& text) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_pending << text;
}

bool CMainDlg::DialogProc(platform::UINT message, platform::WPARAM wParam, platform::LPARAM,
                          platform::LRESULT& result) {
  using namespace platform;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = 1;
      return true;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == m_pane) ShowPaneMenu();
      return true;
    case WM_DEBUG_TEXT:
      ShowPending();
      return true;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TEST_SPEECH: TestSpeech(); return true;
        case IDC_TEST_SAVE: TestSave(); return true;
        case IDC_DONE: Close(); return true;
        case ID_APP_ABOUT:
          MessageBox(GetActiveWindow(), "NarroTest Application, version 1.0", "About", MB_OK);
          return true;
        case ID_OUTPUT_CLEAR: ClearPane(); return true;
        case ID_OUTPUT_COPY: CopySelection(); return true;
        case ID_OUTPUT_SELECT_ALL: SelectAll(); return true;
        default: break;
      }
      break;
    default:
      break;
  }
  return false;
}

void CMainDlg::OnInitDialog() {
  TestLog("#### APPLICATION STARTED ####");
  m_pane = GetDlgItem(IDC_OUTPUT);
  m_paneKeys.SubclassWindow(m_pane);
  // A line of its own, so that the monitor's first line does not run on.
  AppendToPane("#### APPLICATION STARTED ####\r\n");
  m_io.SetTarget(this, WM_DEBUG_TEXT);
  StartMonitor();
  TestLog("%s", "About to initalize TTS");
  try {
    m_narro.m_facade->InitializeSAPI("", 0, 100);
  } catch (...) {
    TestLog("TTS init failed");
    platform::MessageBox(this, "Could not initialize SAPI", "ERROR", platform::MB_OK);
  }
}

void CMainDlg::TestSpeech() {
  TestLog("Running speech test");
  m_narro.m_facade->Speak("If you hear me. The speech works. Try the save button next.",
                          SPEAK_AND_WAIT);
}

void CMainDlg::TestSave() {
  TestLog("Abut to run save test");
  // A path: its bytes, one per character, so that it narrows back to them.
  const CTTSWString directory(platform::WideFromBytes(DataDirectory(*m_narro.m_facade)));
  TestLog("Directory name: %s", static_cast<const std::string>(directory).c_str());
  std::string path;
  std::string name;
  for (;;) {
    TestLog("%s", "Getting text for save game..\n");
    CTTSWString answer(L"");
    m_narro.m_facade->getInput(answer, "Type name of save game, and hit enter, escape to cancel.", true);
    const std::string typed = static_cast<const std::string>(answer);
    TestLog("Text received: %s", typed.c_str());
    std::string folder = static_cast<const std::string>(directory);
    folder = folder.substr(0, folder.rfind('/') + 1);
    TestLog("Processed Directory: %s", folder.c_str());
    if (typed.empty()) return;
    name = SaveTestFileName(typed);
    path = folder + name;
    TestLog("Save Name: %s", path.c_str());
    struct stat seen;
    if (stat(path.c_str(), &seen) != 0) break;
    const std::string question = OverwriteQuestion(name);
    TestLog("%s", question.c_str());
    if (m_narro.m_facade->checkFlags(FLAG_SPEECH | FLAG_DIALOG_SPEECH)) {
      m_narro.m_facade->Speak(question, SPEAK_CUT_OFF);
    }
    const int answerBox = platform::MessageBox(platform::GetActiveWindow(), question, "Save Game",
                                               platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    m_narro.m_facade->Speak("", SPEAK_SILENCE);
    if (answerBox == platform::IDYES) break;
    if (answerBox != platform::IDNO) return;
  }
  std::ofstream file(path, std::ios::out | std::ios::trunc);
  if (file && (file << "Saved").flush()) {
    file.close();
    m_narro.m_facade->Speak("File successfully saved.", SPEAK_CUT_OFF);
    TestLog("File Saved Success: %s", name.c_str());
  } else {
    m_narro.m_facade->Speak("Could not save file.", SPEAK_CUT_OFF);
    platform::MessageBox(this, "Could not save file", "ERROR", platform::MB_OK);
    TestLog("File Save Failed!!");
  }
}

void CMainDlg::ShowPending() {
  // The focus stays where the player put it: a line arriving while they
  // move to a button must not pull them into the pane.
  std::string text;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    text = m_pending.str();
    m_pending.str(std::string());
  }
  if (platform::SendMessage(m_pane, platform::LB_GETCOUNT) > kPaneLineLimit) ClearPane();
  AppendToPane(text);
}

void CMainDlg::AppendToPane(const std::string& text) {
  // Each line of the text is an entry of the pane; "\r\n", a lone "\n" and a
  // lone "\r" each end a line, as they do in a rich edit (so "a\n\r\n" is a
  // line and an empty one). A piece without a line end continues the last
  // line when more text comes.
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    const bool complete = end != std::string::npos;
    if (!complete) end = text.size();
    std::wstring line = platform::WideFromLocale(text.substr(start, end - start));
    const platform::LRESULT count = platform::SendMessage(m_pane, platform::LB_GETCOUNT);
    if (!m_paneEndsLine && count > 0) {
      auto* pane = static_cast<platform::ListBox*>(m_pane);
      line = pane->EntryText(static_cast<int>(count) - 1) + line;
      platform::SendMessage(m_pane, platform::LB_DELETESTRING, count - 1);
    }
    platform::SendMessage(m_pane, platform::LB_ADDSTRING, 0, reinterpret_cast<platform::LPARAM>(line.c_str()));
    m_paneEndsLine = complete;
    if (!complete) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  const platform::LRESULT count = platform::SendMessage(m_pane, platform::LB_GETCOUNT);
  if (count > 0) platform::SendMessage(m_pane, platform::LB_SETCURSEL, count - 1);
}

void CMainDlg::ClearPane() {
  platform::SendMessage(m_pane, platform::LB_RESETCONTENT);
  m_paneEndsLine = true;
  m_allSelected = false;
}

platform::LRESULT CMainDlg::CPaneKeys::WindowProc(platform::UINT message, platform::WPARAM wParam,
                                                  platform::LPARAM lParam) {
  if (message == platform::WM_KEYDOWN && wParam == platform::VK_APPS) {
    platform::SendMessage(platform::GetParent(m_hWnd), platform::WM_CONTEXTMENU,
                          reinterpret_cast<platform::WPARAM>(m_hWnd));
    return 0;
  }
  return DefWindowProc(message, wParam, lParam);
}

void CMainDlg::ShowPaneMenu() {
  COutputMenu menu;
  const int command = menu.Choose(this);
  if (command != 0) platform::SendMessage(this, platform::WM_COMMAND, static_cast<platform::WPARAM>(command));
}

void CMainDlg::CopySelection() {
  auto* pane = static_cast<platform::ListBox*>(m_pane);
  const int current = pane->Current();
  // The pane's selection as a rich edit gives it, lines ended by "\r".
  std::string selected;
  if (m_allSelected && current == m_selectedAt) {
    for (int i = 0; i < pane->Count(); ++i) {
      if (i > 0) selected += '\r';
      selected += static_cast<const std::string>(CTTSWString(pane->EntryText(i)));
    }
  } else if (current >= 0) {
    selected = static_cast<const std::string>(CTTSWString(pane->EntryText(current)));
  }
  std::string text;
  for (char c : selected) {
    if (c == '\r') text += "\r\n";
    else text += c;
  }
  // A clipboard that cannot be reached is skipped silently.
  CopyToClipboard(text);
}

void CMainDlg::SelectAll() {
  platform::SetFocus(m_pane);
  platform::SetWindowText(this, L"TEST");
  m_allSelected = true;
  m_selectedAt = static_cast<platform::ListBox*>(m_pane)->Current();
}

void CMainDlg::Close() {
  m_running.store(false);
  TestLog("CLOSE");
  EndDialog(IDC_DONE);
}

void CMainDlg::StopMonitor() {
  m_running.store(false);
  if (m_worker.joinable()) m_worker.join();
}

void CMainDlg::StartMonitor() {
  AppendPending(CMonitorText::StartLines());
  m_io.Wake();
  // The channel is taken here rather than on the worker, so that the
  // library's lines from initialising speech, which follow at once, are
  // caught.
  std::string error;
  std::unique_ptr<platform::DebugOutputListener> listener = platform::DebugOutputListener::Start(&error);
  if (!listener) {
    AppendPending(error.find("already exists") != std::string::npos ? "Debugger Already Running\r\n"
                                                                     : "CreateEvent failed\r\n");
    m_io.Wake();
    return;
  }
  m_worker = std::thread([this, owned = std::move(listener)] { Monitor(*owned); });
}

void CMainDlg::Monitor(platform::DebugOutputListener& listener) {
  CMonitorText text;
  platform::DebugMessage message;
  // A short wait, so that the flag is seen soon after DONE and the
  // dialog is never touched once it is going.
  while (m_running.load()) {
    if (!listener.Receive(&message, 100)) continue;
    AppendPending(text.Format(message.pid, message.text));
    m_io.Wake();
  }
}
