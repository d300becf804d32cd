// SPDX-License-Identifier: GPL-3.0-or-later
// The list control of the spoken list: a subclass of the stock list box
// that speaks the entry the cursor reaches, spells it with Space, holds the
// first Down back to say where the cursor stands, and passes Insert and
// Delete up to the dialog with the entry's object.
#ifndef NARRO_DIALOGS_LIST_BOX_SPEAK_H_
#define NARRO_DIALOGS_LIST_BOX_SPEAK_H_

#include <string>

#include "platform/win/Window.h"

template <class TBase>
class CListBoxSpeakT : public TBase {
 public:
  // Says the current entry (flags 3, cutting off the one before) and ends
  // the first-Down rule.
  void SpeakSelection();
  // The text of the current entry; false when there is none.
  bool CurrentText(std::wstring& text) const;

  int m_ctrlId = 0;
  platform::HWND m_parent = nullptr;
  // The list always speaks its entries, whatever the facade's flags.
  const bool m_speak = true;
  bool m_firstDown = true;
  // Set when the current entry has been said or spelled; cleared by the
  // dialog when it queues the entry at opening, which may not have been
  // heard yet.
  bool m_heard = false;
  // With it set, a letter that leaves the cursor where it stands says the
  // entry again, so that the player hears what Enter would choose.
  bool m_sayUnmoved = false;

 protected:
  platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

 private:
  platform::LRESULT OnKeyDown(platform::UINT message, platform::WPARAM key,
                              platform::LPARAM lParam);
  void Spell();
};

extern template class CListBoxSpeakT<platform::Subclass>;
using CListBoxSpeak = CListBoxSpeakT<platform::Subclass>;

#endif  // NARRO_DIALOGS_LIST_BOX_SPEAK_H_
