// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdEvents.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/Immortal.h"

namespace platform {

namespace {

struct Registry {
  std::mutex lock;
  std::map<int, std::weak_ptr<SpeechdListener>> listeners;
};

Registry& Listeners() { return Immortal<Registry>(); }

void Deliver(size_t message, size_t client, SPDNotificationType type) {
  std::shared_ptr<SpeechdListener> listener;
  {
    Registry& registry = Listeners();
    const std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.listeners.find(static_cast<int>(client));
    if (found == registry.listeners.end()) return;
    listener = found->second.lock();
  }
  if (listener) listener->OnSpeechdEvent(static_cast<int>(message), type);
}

// spd_get_client_id reads a reply that is not there when the server has
// gone, so the question is asked here: 0 when there is no answer.
int ClientId(SPDConnection* connection) {
  char* reply = nullptr;
  const int failed =
      spd_execute_command_with_reply(connection, "HISTORY GET CLIENT_ID", &reply);
  int id = 0;
  if (failed == 0 && reply != nullptr && std::strncmp(reply, "245-", 4) == 0) {
    id = std::atoi(reply + 4);
  }
  std::free(reply);
  return id;
}

}  // namespace

bool ListenToSpeechd(SPDConnection* connection,
                     const std::shared_ptr<SpeechdListener>& listener,
                     int* clientId) {
  const int id = ClientId(connection);
  if (id <= 0) return false;
  {
    Registry& registry = Listeners();
    const std::lock_guard<std::mutex> guard(registry.lock);
    registry.listeners[id] = listener;
  }
  connection->callback_begin = Deliver;
  connection->callback_end = Deliver;
  connection->callback_cancel = Deliver;
  *clientId = id;
  if (spd_set_notification_on(connection, SPD_BEGIN) != 0 ||
      spd_set_notification_on(connection, SPD_END) != 0 ||
      spd_set_notification_on(connection, SPD_CANCEL) != 0) {
    StopListening(id);
    return false;
  }
  return true;
}

void StopListening(int clientId) {
  Registry& registry = Listeners();
  const std::lock_guard<std::mutex> guard(registry.lock);
  registry.listeners.erase(clientId);
}

}  // namespace platform
