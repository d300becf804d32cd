// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/MessageQueue.h"

#include <deque>

namespace platform {

namespace {

std::deque<QueuedMessage>& Queue() {
  // Never destroyed: a dialog may still be open while the process exits.
  static auto* queue = new std::deque<QueuedMessage>();
  return *queue;
}

}  // namespace

void PostQueued(const QueuedMessage& message) { Queue().push_back(message); }

bool TakeQueued(QueuedMessage& message) {
  if (Queue().empty()) return false;
  message = Queue().front();
  Queue().pop_front();
  return true;
}

void DropQueued(HWND window) {
  auto& queue = Queue();
  for (auto it = queue.begin(); it != queue.end();) {
    it = it->window == window ? queue.erase(it) : it + 1;
  }
}

}  // namespace platform
