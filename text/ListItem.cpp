// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/ListItem.h"

#include "narro/Narro.h"
#include "text/DialogHost.h"
#include "text/TextStore.h"

namespace {

// Confirmations are spoken only when the player has both the typing echo
// and the dialogs' speech on.
constexpr uint32_t kConfirmFlags = FLAG_SPEECH | FLAG_DIALOG_SPEECH;

void Confirm(const std::wstring& text) {
  CDialogHost* host = CDialogHost::Current();
  if (host != nullptr && host->checkFlags(kConfirmFlags)) host->Speak(text, SPEAK_QUEUED);
}

}  // namespace

bool CListItem::handleKey(int) { return false; }

// Insert copies the word to the scratch list; it stays in the word list.
bool CWordListItem::handleKey(int key) {
  if (key != kKeyInsert || m_pText == nullptr) return false;
  const std::wstring word = *m_pText;
  Confirm(L"Inserted " + word);
  m_pStore->AddScratch(word);
  return true;
}

// Delete removes the word from the scratch list, which destroys this very
// entry: nothing of it is touched after RemoveScratch.
bool CScratchListItem::handleKey(int key) {
  if (key != kKeyDelete || m_pText == nullptr) return false;
  const std::wstring word = *m_pText;
  CTextStore* store = m_pStore;
  Confirm(L"Removed " + word);
  store->RemoveScratch(word);
  return true;
}
