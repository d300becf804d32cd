// SPDX-License-Identifier: GPL-3.0-or-later
// The edit control of the input dialog: a subclass of the stock edit that
// speaks each word as a space, comma, full stop or question mark completes
// it, and each character that Backspace is about to delete.
#ifndef NARRO_DIALOGS_EDIT_SPEAK_H_
#define NARRO_DIALOGS_EDIT_SPEAK_H_

#include <string>

#include "platform/win/Window.h"
#include "text/TextStore.h"

template <class TBase>
class CEditSpeakT : public TBase {
 public:
  std::wstring m_typed;  // the edit's copy of the text in the control
  CTextStore m_store;    // its own: the word enders and the last word only
  int m_speak = 1;
  int m_ctrlId = 0;
  platform::HWND m_parent = nullptr;

  // Reads the control's text into m_typed.
  void Refresh();

 protected:
  platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

 private:
  void OnChar(wchar_t ch);
  // True when the key goes on to the control.
  bool OnKeyDown(unsigned key);
};

extern template class CEditSpeakT<platform::Subclass>;
using CEditSpeak = CEditSpeakT<platform::Subclass>;

#endif  // NARRO_DIALOGS_EDIT_SPEAK_H_
