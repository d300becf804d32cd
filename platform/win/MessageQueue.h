// SPDX-License-Identifier: GPL-3.0-or-later
// The posted messages of the thread that runs the dialogs, in order.
#ifndef NARRO_PLATFORM_WIN_MESSAGE_QUEUE_H_
#define NARRO_PLATFORM_WIN_MESSAGE_QUEUE_H_

#include "platform/win/Messages.h"

namespace platform {

struct QueuedMessage {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  // A key-down typed by the player carries the character the key types, to
  // be posted as WM_CHAR when the key-down reaches the control (as
  // TranslateMessage does); 0 for none.
  wchar_t typed = 0;
  bool shift = false;  // the key was pressed with Shift (Shift-Tab)
};

void PostQueued(const QueuedMessage& message);
// The oldest message, false when the queue is empty.
bool TakeQueued(QueuedMessage& message);
// Drops the messages of a window that is going away.
void DropQueued(HWND window);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_MESSAGE_QUEUE_H_
