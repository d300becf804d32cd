// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogOperations.h"

#include "dialogs/DialogSpeech.h"
#include "dialogs/InputDlg.h"
#include "narro/Narro.h"
#include "platform/win/Dialog.h"
#include "platform/win/FolderChooser.h"
#include "text/SpeechShaping.h"

namespace {

void CleanForFileName(std::wstring& text) {
  FindAndReplace(text, L"&", L" and ");
  for (const wchar_t* mark : {L".", L"-", L"(", L")", L",", L"\\", L"/"}) {
    FindAndReplace(text, mark, L"_");
  }
}

}  // namespace

std::wstring AskForLine(const std::string& prompt, bool clean, bool speakPrompt) {
  CSpokenDialogs spoken;
  CInputDlg dialog;
  if (speakPrompt) SpeakThroughEngine(prompt, SPEAK_CUT_OFF);
  dialog.m_prompt = prompt;
  dialog.DoModal(platform::Dialog::Active());
  std::wstring typed = dialog.m_edit.m_typed;
  if (!typed.empty() && clean) CleanForFileName(typed);
  return typed;
}

bool ChooseFolder(const std::string& start, const char* title, bool spoken,
                  std::string& chosen) {
  CSpokenDialogs speaking;
  return platform::BrowseForFolder(platform::Dialog::Active(), start, title ? title : "",
                                   spoken, chosen);
}
