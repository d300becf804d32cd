#include "text/ListItem.h"

bool CListItem::handleKey(int) { return false; }
bool CWordListItem::handleKey(int) { return false; }
bool CScratchListItem::handleKey(int) { return false; }
