// SPDX-License-Identifier: GPL-3.0-or-later
// The entries the list driver makes for one showing of a list: games,
// saved games and voices. (Word and scratch entries belong to the text
// store.)
#ifndef NARRO_DIALOGS_LIST_ITEMS_H_
#define NARRO_DIALOGS_LIST_ITEMS_H_

#include "text/ListItem.h"

// A game of the games list: no key does anything to it.
class CGameListItem : public CListItem {
 public:
  using CListItem::CListItem;
  bool handleKey(int key) override;
};

// A saved game: Delete deletes its file after the player says Yes.
class CSaveListItem : public CListItem {
 public:
  using CListItem::CListItem;
  // False when the player answered No, or the file is still there because
  // it could not be deleted (the entry then stays in the list); true when
  // the file is gone, or the entry stands for no file.
  bool handleKey(int key) override;

  // Set by a host call of our own: the question names the save ("Delete the
  // saved game river?"), Escape answers No, and No is said.
  bool m_namesSave = false;
};

// A voice: Insert makes it the engine's voice and lets the player hear it.
class CVoiceListItem : public CListItem {
 public:
  using CListItem::CListItem;
  bool handleKey(int key) override;
};

#endif  // NARRO_DIALOGS_LIST_ITEMS_H_
