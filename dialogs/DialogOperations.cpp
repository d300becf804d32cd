// SPDX-License-Identifier: GPL-3.0-or-later
// getInput and getDirectory: a line of text and a folder, asked for by
// keyboard and by ear. Neither is guarded: what goes wrong inside reaches
// the host, as hosts of these two calls expect.
#include "dialogs/DialogSpeech.h"
#include "dialogs/InputDlg.h"
#include "narro/Narro.h"
#include "platform/win/Dialog.h"
#include "platform/win/FolderChooser.h"

namespace {

constexpr uint32_t kConfirmFlags = FLAG_SPEECH | FLAG_DIALOG_SPEECH;
constexpr int kCutOffAndSpeak = 3;
constexpr int kQueueBehind = 1;

// For use as a file name: "&" becomes " and "; . - ( ) , \ / become "_".
void CleanForFileName(std::wstring& text) {
  CNarro::findandreplace(text, L"&", L" and ");
  for (const wchar_t* mark : {L".", L"-", L"(", L")", L",", L"\\", L"/"}) {
    CNarro::findandreplace(text, mark, L"_");
  }
}

}  // namespace

void CNarro::getInput(CTTSWString& result, const std::string& prompt, bool clean) {
  CSpokenDialogs spoken;
  CInputDlg dialog;
  if (checkFlags(kConfirmFlags)) SpeakThroughEngine(prompt, kCutOffAndSpeak);
  dialog.m_prompt = prompt;
  dialog.DoModal(platform::Dialog::Active());
  std::wstring typed = dialog.m_edit.m_typed;
  if (!typed.empty() && clean) CleanForFileName(typed);
  result = CTTSWString(typed);
}

void CNarro::getDirectory(CTTSString& result, const std::string& start, const char* title) {
  if (checkFlags(kConfirmFlags)) {
    Speak(std::string("Hit enter to scan this directory for supported games. Or Escape to quit."),
          kQueueBehind);
  }
  // The chooser says each folder the cursor reaches when the dialogs speak.
  CSpokenDialogs spoken;
  std::string chosen;
  if (platform::BrowseForFolder(platform::Dialog::Active(), start, title ? title : "",
                                checkFlags(FLAG_DIALOG_SPEECH), chosen)) {
    result = CTTSString(chosen);
  } else {
    result = CTTSString();
  }
}
