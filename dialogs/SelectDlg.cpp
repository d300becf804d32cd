// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SelectDlg.h"

#include "core/Log.h"
#include "dialogs/DialogSpeech.h"
#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/DialogTemplate.h"
#include "speech/SpeechTTS.h"
#include "text/DialogHost.h"

namespace {

constexpr int kCancelButton = 1023;

// An object pointer the list control handed over, if it is one.
CListItem* Usable(platform::LPARAM object) {
  if (object == 0 || object == platform::LB_ERR) return nullptr;
  return reinterpret_cast<CListItem*>(object);
}

}  // namespace

CSelectDlg::CSelectDlg() { LogLine("%1%", "Created Selection Dialog"); }

int CSelectDlg::DoModal(platform::HWND parent) {
  return Dialog::DoModal(parent, platform::IDD_SELECT);
}

bool CSelectDlg::DialogProc(platform::UINT message, platform::WPARAM wParam,
                            platform::LPARAM lParam, platform::LRESULT& result) {
  using namespace platform;
  result = 0;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      result = 1;
      return true;
    case WM_COMMAND: {
      const int id = static_cast<int>(LOWORD(wParam));
      const unsigned code = HIWORD(wParam);
      if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL || id == kCancelButton)) {
        OnCloseCmd(id);
        return true;
      }
      OnCommand(id, code);
      return ReflectNotifications(message, wParam, lParam, result);
    }
    case WM_KEYDOWN:
      OnKeyDown(static_cast<unsigned>(wParam), lParam);
      return true;
    default:
      return ReflectNotifications(message, wParam, lParam, result);
  }
}

void CSelectDlg::OnInitDialog() {
  using namespace platform;
  LogLine("%1%", "Initilizing Select Dialog");
  m_list.m_ctrlId = IDC_LIST;
  m_list.m_parent = this;
  m_list.SubclassWindow(GetDlgItem(IDC_LIST));
  FillList();
  const LRESULT count = SendMessage(GetDlgItem(IDC_LIST), LB_GETCOUNT);
  // No singular form: one entry is announced as "1 entries".
  const std::string intro = "There are " + std::to_string(count) +
                            " entries in the list. Use arrow keys to hear entries. " +
                            "Hit enter to select. " + "Hit escape to close. " +
                            m_instructions;
  SetWindowText(this, WideFromLocale(m_title));
  SetWindowText(GetDlgItem(IDC_INSTRUCTIONS), WideFromLocale(intro));
  m_speakIntro = HostFlags(FLAG_DIALOG_SPEECH);
  m_listWnd = GetDlgItem(IDC_LIST);
  SetFocus(m_listWnd);
  SendMessage(m_listWnd, LB_SETCURSEL, 0);  // current, not announced
  if (m_speakIntro) SpeakThroughEngine(intro, SPEAK_CUT_OFF);
  if (m_heardBeforeChosen) {
    // The entry waits for the end of the introduction rather than cutting
    // it off. It was said, not yet heard: Enter before any other key says
    // it again first. The first Down moves on, as the cursor is known.
    m_list.m_sayUnmoved = true;
    m_list.m_firstDown = false;
    std::wstring text;
    if (m_list.CurrentText(text)) SpeakThroughEngine(text, m_speakIntro ? SPEAK_QUEUED : SPEAK_CUT_OFF);
    m_list.m_heard = false;
  }
}

// The list shows the entries' own wide texts: a word in Greek or Russian is
// shown and spoken whole, and the text read back equals its key.
void CSelectDlg::FillList() {
  using namespace platform;
  const HWND list = GetDlgItem(IDC_LIST);
  SendMessage(list, LB_RESETCONTENT);
  for (const auto& [text, object] : m_items) {
    const LRESULT index = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) {
      SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                  reinterpret_cast<LPARAM>(object));
    }
  }
}

void CSelectDlg::ClearSelection() {
  m_selectedText.clear();
  m_selectedPath.clear();
  m_selectedItem = nullptr;
}

int CSelectDlg::StoreSelection() {
  using namespace platform;
  std::wstring text;
  if (!m_list.CurrentText(text)) {
    ClearSelection();
    return -1;
  }
  const int current = static_cast<int>(SendMessage(GetDlgItem(IDC_LIST), LB_GETCURSEL));
  m_selectedText = text;
  m_selectedItem = Usable(SendMessage(GetDlgItem(IDC_LIST), LB_GETITEMDATA,
                                      static_cast<WPARAM>(current)));
  m_selectedPath = m_selectedItem != nullptr && m_selectedItem->m_pPath != nullptr
                       ? *m_selectedItem->m_pPath
                       : std::string();
  return current;
}

void CSelectDlg::OnCloseCmd(int id) {
  if (id == platform::IDOK && m_heardBeforeChosen && !m_list.m_heard && HeardSomewhere()) {
    std::wstring text;
    if (m_list.CurrentText(text)) {
      // Not chosen unheard: said now, chosen by the next Enter.
      m_list.SpeakSelection();
      return;
    }
  }
  if (id == platform::IDOK) {
    StoreSelection();
  } else {
    ClearSelection();
  }
  if (m_speakIntro) CSpeechTTS::StopSpeaking();
  EndDialog(id);
}

bool CSelectDlg::HeardSomewhere() {
  // Without a voice nobody hears the list: Enter chooses at once.
  CSpeechTTS* engine = CSpeechTTS::GetSingletonPtr();
  return engine != nullptr && engine->Initialized();
}

void CSelectDlg::OnCommand(int id, unsigned code) {
  if (id == platform::IDC_LIST && code == platform::LBN_DBLCLK) {
    StoreSelection();
    EndDialog(platform::IDOK);
  }
}

void CSelectDlg::OnKeyDown(unsigned key, platform::LPARAM object) {
  CListItem* item = Usable(object);
  if (key == platform::VK_INSERT) {
    StoreSelection();
    if (item != nullptr) {
      item->m_pText = &m_selectedText;
      item->handleKey(kKeyInsert);
    }
  } else if (key == platform::VK_DELETE) {
    if (StoreSelection() >= 0 && item != nullptr) {
      item->m_pText = &m_selectedText;
      // The entry may have destroyed itself: it is not touched again.
      if (item->handleKey(kKeyDelete)) RemoveSelected();
    }
  }
}

void CSelectDlg::RemoveSelected() {
  m_items.erase(m_selectedText);
  FillList();
}
