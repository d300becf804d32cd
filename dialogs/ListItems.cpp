// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ListItems.h"

#include <errno.h>

#include "core/Log.h"
#include "narro/Narro.h"
#include "platform/file/FileSystem.h"
#include "platform/locale/TextEncoding.h"
#include "platform/win/MessageBox.h"
#include "text/DialogHost.h"

namespace {

constexpr uint32_t kConfirmFlags = FLAG_SPEECH | FLAG_DIALOG_SPEECH;

}  // namespace

bool CGameListItem::handleKey(int) { return false; }

bool CVoiceListItem::handleKey(int key) {
  CDialogHost* host = CDialogHost::Current();
  if (key != kKeyInsert || host == nullptr) return false;
  // The voice's own name, as the engine gave it; the text shown is made
  // from it for a person and would not name it back.
  if (m_pPath != nullptr) {
    host->ChangeVoice(*m_pPath, 0, 100);
  } else if (m_pText != nullptr) {
    host->ChangeVoice(platform::BytesFromWide(*m_pText), 0, 100);
  } else {
    return false;
  }
  // Whatever the flags: the point is to hear the voice just chosen.
  host->Speak(std::string("Voice was loaded."), SPEAK_QUEUED);
  return true;
}

bool CSaveListItem::handleKey(int key) {
  CDialogHost* host = CDialogHost::Current();
  if (key != kKeyDelete || host == nullptr) return false;
  const bool confirm = host->checkFlags(kConfirmFlags);
  if (m_namesSave && m_pText != nullptr) {
    // The player hears which save goes; Escape (the box's Cancel) leaves it.
    const std::wstring question = L"Delete the saved game " + *m_pText + L"?";
    if (confirm) host->Speak(question + L" Y or N", SPEAK_CUT_OFF);
    const int answer = platform::MessageBox(nullptr, platform::LocaleFromWide(question) + " Y or N",
                                            "Delete Game", platform::MB_YESNOCANCEL);
    if (answer != platform::IDYES) {
      if (confirm) host->Speak(std::wstring(L"Not deleted."), SPEAK_CUT_OFF);
      return false;
    }
  } else {
    if (confirm) {
      host->Speak(std::string("Are you sure you want to delete the saved game?  Y or N "),
                    SPEAK_CUT_OFF);
    }
    const int answer = platform::MessageBox(
        nullptr, "Are you sure you want to delete the saved game? Y or N", "Delete Game",
        platform::MB_YESNO);
    if (answer != platform::IDYES) return false;
  }
  if (m_pPath == nullptr) return true;

  const std::string path = *m_pPath;
  LogLine("Deleting save file: %1%", path);
  // A file someone else already removed counts as deleted; one that is
  // still there must not be reported gone, or the player would think the
  // save deleted while it fills the folder.
  if (!platform::Current<platform::FileSystem>().Remove(path) && errno != ENOENT) {
    LogLine("Could not delete %1%: %2%", path, SystemErrorText());
    if (confirm && m_pText != nullptr) {
      host->Speak(L"Could not delete " + *m_pText, SPEAK_CUT_OFF);
    }
    return false;
  }
  if (confirm && m_pText != nullptr) host->Speak(*m_pText + L" deleted", SPEAK_CUT_OFF);
  return true;
}
