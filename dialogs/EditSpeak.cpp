// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/EditSpeak.h"

#include "narro/Narro.h"
#include "dialogs/DialogSpeech.h"

namespace {

bool IsPrintable(wchar_t ch) {
  return (ch >= 32 && ch <= 126) || (ch >= 160 && ch <= 255) || ch > 255;
}

}  // namespace

// Whole, not cut at 259 characters: the text is the player's, and what is
// returned must be what the control holds.
template <class TBase>
void CEditSpeakT<TBase>::Refresh() {
  m_typed = platform::GetWindowText(this->m_hWnd);
}

template <class TBase>
void CEditSpeakT<TBase>::OnChar(wchar_t ch) {
  if (ch == 13) {
    platform::PostMessage(m_parent, platform::WM_COMMAND,
                          platform::MAKEWPARAM(platform::IDOK, platform::BN_CLICKED), 0);
    return;
  }
  if (!IsPrintable(ch)) return;
  m_typed += ch;
  if (!m_store.IsWordEnder(ch)) return;
  const std::wstring& word = m_store.NoteLastWord(m_typed);
  if (m_speak) SpeakThroughEngine(word, SPEAK_CUT_OFF);
}

template <class TBase>
bool CEditSpeakT<TBase>::OnKeyDown(unsigned key) {
  Refresh();
  switch (key) {
    case platform::VK_BACK:
      // The character the deletion is about to take, when the caret stands
      // at the end; the deletion comes with the backspace character.
      if (m_speak && !m_typed.empty()) {
        SpeakThroughEngine(m_typed.substr(m_typed.size() - 1), SPEAK_CUT_OFF);
      }
      return false;
    case platform::VK_TAB:
    case platform::VK_RETURN:
      return false;
    default:
      return true;
  }
}

template <class TBase>
platform::LRESULT CEditSpeakT<TBase>::WindowProc(platform::UINT message,
                                                 platform::WPARAM wParam,
                                                 platform::LPARAM lParam) {
  if (message == platform::WM_CHAR) {
    OnChar(static_cast<wchar_t>(wParam));
  } else if (message == platform::WM_KEYDOWN) {
    if (!OnKeyDown(static_cast<unsigned>(wParam))) return 0;
  }
  return this->DefWindowProc(message, wParam, lParam);
}

template class CEditSpeakT<platform::Subclass>;
