// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's dialogs. The lists are guarded: whatever goes wrong is
// logged and the result is empty. getInput and getDirectory are not: what
// goes wrong inside reaches the host, as hosts of these two calls expect.
#include "core/ExceptionGuard.h"
#include "dialogs/DialogOperations.h"
#include "dialogs/ListDriver.h"
#include "facade/FacadeDialogHost.h"
#include "narro/Narro.h"
#include "platform/win/TerminalKeys.h"

namespace {
constexpr uint32_t kConfirmFlags = FLAG_SPEECH | FLAG_DIALOG_SPEECH;
}  // namespace

void CNarro::getList(CTTSWString& result, if_list_type type, const char* gameExts,
                     const char* saveExts) {
  result = CTTSWString();
  bool done = false;
  const ListContext lists{FacadeDialogHost(), m_textStore.get(), m_speech.get(), m_root};
  NARRO_GUARDED("CNarro::getList", [&] {
    result = CTTSWString(ShowList(lists, type, gameExts, saveExts));
    done = true;
  });
  if (!done) result = CTTSWString();
}

void CNarro::getSaves(CTTSWString& result, const CTTSString& story, const char* saveExts) {
  result = CTTSWString();
  bool done = false;
  const ListContext lists{FacadeDialogHost(), m_textStore.get(), m_speech.get(), m_root};
  NARRO_GUARDED("CNarro::getSaves", [&] {
    result = CTTSWString(ShowStorySaves(lists, static_cast<const char*>(story), saveExts));
    done = true;
  });
  if (!done) result = CTTSWString();
}

void CNarro::getGames(CTTSWString& result, const CTTSString& folder, const char* gameExts,
                      const char* saveExts) {
  result = CTTSWString();
  bool done = false;
  const ListContext lists{FacadeDialogHost(), m_textStore.get(), m_speech.get(), m_root};
  NARRO_GUARDED("CNarro::getGames", [&] {
    result = CTTSWString(ShowFolderGames(lists, static_cast<const char*>(folder), gameExts, saveExts));
    done = true;
  });
  if (!done) result = CTTSWString();
}

void CNarro::getInput(CTTSWString& result, const std::string& prompt, bool clean) {
  result = CTTSWString(AskForLine(prompt, clean, checkFlags(kConfirmFlags)));
}

void CNarro::getDirectory(CTTSString& result, const std::string& start, const char* title) {
  if (checkFlags(kConfirmFlags)) {
    Speak(std::string("Hit enter to scan this directory for supported games. Or Escape to quit."),
          SPEAK_QUEUED);
  }
  std::string chosen;
  if (ChooseFolder(start, title, checkFlags(FLAG_DIALOG_SPEECH), chosen)) {
    result = CTTSString(chosen);
  } else {
    result = CTTSString();
  }
}

void CNarro::InterruptDialog() { platform::InterruptTerminalDialogs(); }
