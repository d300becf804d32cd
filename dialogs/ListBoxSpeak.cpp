// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ListBoxSpeak.h"

#include <vector>

#include "dialogs/DialogSpeech.h"
#include "narro/Narro.h"

template <class TBase>
bool CListBoxSpeakT<TBase>::CurrentText(std::wstring& text) const {
  using namespace platform;
  const int current = static_cast<int>(SendMessage(this->m_hWnd, LB_GETCURSEL));
  if (current < 0) return false;
  const LRESULT length = SendMessage(this->m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(current));
  if (length < 0) return false;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const LRESULT got = SendMessage(this->m_hWnd, LB_GETTEXT, static_cast<WPARAM>(current),
                                  reinterpret_cast<LPARAM>(buffer.data()));
  if (got < 0) return false;
  text.assign(buffer.data(), static_cast<size_t>(got));
  return true;
}

template <class TBase>
void CListBoxSpeakT<TBase>::SpeakSelection() {
  m_firstDown = false;
  std::wstring text;
  if (CurrentText(text) && m_speak) {
    SpeakThroughEngine(text, SPEAK_CUT_OFF);
    m_heard = true;
  }
}

// c, full stop, a, full stop, t, full stop: the word spelled.
template <class TBase>
void CListBoxSpeakT<TBase>::Spell() {
  std::wstring text;
  if (!CurrentText(text) || !m_speak) return;
  std::wstring spelled;
  for (const wchar_t c : text) {
    spelled += c;
    spelled += L'.';
  }
  SpeakThroughEngine(spelled, SPEAK_CUT_OFF);
  m_heard = true;
}

template <class TBase>
platform::LRESULT CListBoxSpeakT<TBase>::OnKeyDown(platform::UINT message,
                                                   platform::WPARAM key,
                                                   platform::LPARAM lParam) {
  using namespace platform;
  switch (key) {
    case VK_RETURN:
      return 0;  // the dialog accepts
    case VK_SPACE:
      Spell();
      return 0;
    case VK_DOWN:
      if (m_firstDown) {
        // Where the cursor stands is said first; the next Down moves it.
        SpeakSelection();
        return 0;
      }
      break;
    case VK_INSERT:
    case VK_DELETE: {
      const int current = static_cast<int>(SendMessage(this->m_hWnd, LB_GETCURSEL));
      if (current >= 0) {
        const LRESULT object =
            SendMessage(this->m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(current));
        SendMessage(m_parent, WM_KEYDOWN, key, object);
      }
      break;
    }
    default:
      break;
  }
  return this->DefWindowProc(message, key, lParam);
}

template <class TBase>
platform::LRESULT CListBoxSpeakT<TBase>::WindowProc(platform::UINT message,
                                                    platform::WPARAM wParam,
                                                    platform::LPARAM lParam) {
  using namespace platform;
  switch (message) {
    case WM_CHAR: {
      // An Enter typed into the list accepts, as the dialog's Enter does.
      if (wParam == 13) PostMessage(m_parent, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      const LRESULT before = SendMessage(this->m_hWnd, LB_GETCURSEL);
      const LRESULT result = this->DefWindowProc(message, wParam, lParam);
      if (m_sayUnmoved && wParam >= 32 && before >= 0 && SendMessage(this->m_hWnd, LB_GETCURSEL) == before) {
        SpeakSelection();
      }
      return result;
    }
    case WM_KEYDOWN:
      return OnKeyDown(message, wParam, lParam);
    case OCM_COMMAND:
      if (HIWORD(wParam) == LBN_SELCHANGE) {
        SpeakSelection();
        return 0;
      }
      return 0;
    default:
      return this->DefWindowProc(message, wParam, lParam);
  }
}

template class CListBoxSpeakT<platform::Subclass>;
