// SPDX-License-Identifier: GPL-3.0-or-later
// The objects behind the entries of a spoken list. The dialog hands the
// Insert and Delete keys to the entry, which decides what they mean and
// whether the entry leaves the list.
#ifndef NARRO_TEXT_LIST_ITEM_H_
#define NARRO_TEXT_LIST_ITEM_H_

#include <string>

class CTextStore;

enum : int {
  kKeyInsert = 45,
  kKeyDelete = 46,
};

class CListItem {
 public:
  explicit CListItem(CTextStore* store) : m_pStore(store) {}

  // True tells the dialog to take the entry out of its list.
  virtual bool handleKey(int key);

  const std::wstring* m_pText = nullptr;  // set by the dialog before handleKey
  const std::string* m_pPath = nullptr;   // the file (or voice) the entry stands for, as bytes
  const std::string* m_pWarning = nullptr;
  CTextStore* m_pStore;

 protected:
  // Entries live in shared pointers made with their own type; nobody
  // deletes one through the base.
  ~CListItem() = default;
};

// A word of the game's output, kept in the store's word history.
class CWordListItem : public CListItem {
 public:
  using CListItem::CListItem;
  bool handleKey(int key) override;
};

// A word of the player's scratch list.
class CScratchListItem : public CListItem {
 public:
  using CListItem::CListItem;
  bool handleKey(int key) override;
};

#endif  // NARRO_TEXT_LIST_ITEM_H_
