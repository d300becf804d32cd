// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdSession.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/SpeechdConnection.h"
#include "platform/sapi/SpeechdRequest.h"

namespace platform {

namespace {

// How soon a server that went away while speaking is noticed.
constexpr auto kLivenessPoll = std::chrono::milliseconds(50);

bool LooksLikeMarkup(const wchar_t* text, uint32_t flags) {
  if (flags & SPF_IS_XML) return true;
  if (flags & SPF_IS_NOT_XML) return false;
  return text[0] == L'<';
}

}  // namespace

template <class Call>
auto SpeechdSession::Watched(Call call) {
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_callStarted = Clock::now();
  }
  auto result = call();
  const std::lock_guard<std::mutex> guard(m_lock);
  m_callStarted = Clock::time_point();
  return result;
}

std::shared_ptr<SpeechdSession> SpeechdSession::Start(SPDConnection* connection) {
  std::shared_ptr<SpeechdSession> session(new SpeechdSession(connection));
  session->m_worker = std::thread([session] { session->WorkerMain(); });
  session->m_watchdog = std::thread([session] { session->WatchdogMain(); });
  return session;
}

SpeechdSession::SpeechdSession(SPDConnection* connection)
    : m_connection(connection) {}

void SpeechdSession::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  std::unique_lock<std::mutex> lock(m_lock);
  if (streamNumber) *streamNumber = 0;
  if (flags & SPF_PURGEBEFORESPEAK) {
    ++m_generation;
    m_queue.clear();
    m_finishedThrough = m_nextSerial - 1;
    m_cancelPending = true;
    m_wake.notify_all();
    m_done.notify_all();
  }
  if (text == nullptr || *text == L'\0' || m_wedged || m_stopping) return;
  Utterance utterance;
  utterance.serial = m_nextSerial++;
  utterance.generation = m_generation;
  utterance.markup = LooksLikeMarkup(text, flags);
  utterance.text = SpeechdText(text, utterance.markup);
  utterance.priority = SpeechdPriority(flags);
  utterance.settings = m_settings;
  const uint64_t serial = utterance.serial;
  m_queue.push_back(std::move(utterance));
  m_wake.notify_all();
  if (streamNumber) *streamNumber = static_cast<ULONG>(serial);
  if (!(flags & SPF_ASYNC)) {
    m_done.wait(lock, [&] { return m_finishedThrough >= serial || m_wedged; });
  }
}

void SpeechdSession::SetSettings(const Settings& settings) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings = settings;
}

SpeechdSession::Settings SpeechdSession::CurrentSettings() {
  const std::lock_guard<std::mutex> guard(m_lock);
  return m_settings;
}

void SpeechdSession::Stop() {
  std::unique_lock<std::mutex> lock(m_lock);
  m_stopping = true;
  ++m_generation;
  m_queue.clear();
  FinishEverything();
  m_wake.notify_all();
  // The watchdog keeps watching until the worker is out of libspeechd.
  m_done.wait(lock, [&] { return !m_worker.joinable() || m_workerDone || m_wedged; });
  const bool wedged = m_wedged && !m_workerDone;
  m_watchdogStop = true;
  m_wake.notify_all();
  lock.unlock();
  if (wedged) {
    m_worker.detach();  // it holds the session; nothing is freed under it
  } else if (m_worker.joinable()) {
    m_worker.join();
  }
  if (m_watchdog.joinable()) m_watchdog.join();
}

void SpeechdSession::OnSpeechdEvent(int message, SPDNotificationType type) {
  const std::lock_guard<std::mutex> guard(m_lock);
  SPDNotificationType& known = m_events[message];
  if (type != SPD_EVENT_BEGIN || (known != SPD_EVENT_END && known != SPD_EVENT_CANCEL)) {
    known = type;
  }
  m_wake.notify_all();
}

bool SpeechdSession::Ended(int message) const {
  const auto found = m_events.find(message);
  return found != m_events.end() &&
         (found->second == SPD_EVENT_END || found->second == SPD_EVENT_CANCEL);
}

void SpeechdSession::Finish(uint64_t serial) {
  if (serial > m_finishedThrough) m_finishedThrough = serial;
  m_done.notify_all();
}

void SpeechdSession::FinishEverything() {
  m_queue.clear();
  m_inFlight = InFlight();
  m_finishedThrough = m_nextSerial - 1;
  m_done.notify_all();
}

void SpeechdSession::WorkerMain() {
  BlockBrokenPipeSignal();
  if (!Adopt(m_connection)) LoseConnection();
  std::unique_lock<std::mutex> lock(m_lock);
  for (;;) {
    m_wake.wait_for(lock, kLivenessPoll, [&] {
      return m_stopping || m_cancelPending ||
             (m_inFlight.message == 0 && !m_queue.empty()) ||
             (m_inFlight.message != 0 && Ended(m_inFlight.message));
    });
    if (m_stopping) break;
    if (m_cancelPending) {
      m_cancelPending = false;
      if (m_inFlight.message == 0) continue;
      m_events.erase(m_events.begin(), m_events.upper_bound(m_inFlight.message));
      m_inFlight = InFlight();
      lock.unlock();
      if (m_connection &&
          Watched([&] { return spd_cancel(m_connection); }) != 0 &&
          ConnectionClosedByServer()) {
        LoseConnection();
      }
      lock.lock();
      continue;
    }
    if (m_inFlight.message != 0) {
      const int message = m_inFlight.message;
      if (Ended(message)) {
        m_events.erase(m_events.begin(), m_events.upper_bound(message));
        Finish(m_inFlight.serial);
        m_inFlight = InFlight();
        continue;
      }
      lock.unlock();
      if (ConnectionClosedByServer()) LoseConnection();
      lock.lock();
      continue;
    }
    if (m_queue.empty()) continue;
    Utterance utterance = std::move(m_queue.front());
    m_queue.pop_front();
    if (utterance.generation != m_generation) {
      Finish(utterance.serial);
      continue;
    }
    lock.unlock();
    const int message = Send(utterance);
    lock.lock();
    if (message > 0) {
      // Even when purged meanwhile: the pending cancel then stops it.
      m_inFlight.serial = utterance.serial;
      m_inFlight.message = message;
    } else {
      Finish(utterance.serial);
    }
  }
  lock.unlock();
  Disconnect();
  lock.lock();
  m_workerDone = true;
  m_done.notify_all();
}

void SpeechdSession::WatchdogMain() {
  const auto limit = Current<SpeechdLimits>().reply;
  std::unique_lock<std::mutex> lock(m_lock);
  bool shutDown = false;
  while (!m_watchdogStop) {
    m_wake.wait_for(lock, kLivenessPoll);
    if (m_callStarted == Clock::time_point()) {
      shutDown = false;
      continue;
    }
    const auto waited = Clock::now() - m_callStarted;
    if (waited > limit && !shutDown && m_watchedSocket >= 0) {
      // libspeechd's reader sees the end of the stream and fails the call.
      shutdown(m_watchedSocket, SHUT_RDWR);
      shutDown = true;
    }
    if (waited > 2 * limit + std::chrono::seconds(1) && !m_wedged) {
      LogSpeechLine("speech-dispatcher: libspeechd does not return; speech is off");
      m_wedged = true;
      FinishEverything();
    }
  }
}

bool SpeechdSession::Adopt(SPDConnection* connection) {
  m_connection = connection;
  if (m_connection == nullptr) return false;
  const int watched = dup(m_connection->socket);
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_watchedSocket = watched;
    // A server started anew numbers its messages from the start again.
    m_events.clear();
  }
  m_applied = Settings();
  m_appliedMarkup = false;
  const bool listening =
      Watched([&] { return ListenToSpeechd(m_connection, shared_from_this(), &m_clientId); });
  if (!listening) {
    Disconnect();
    return false;
  }
  return true;
}

bool SpeechdSession::Connect() {
  std::string error;
  SPDConnection* connection = OpenSpeechd("main", SpeechdMode::kNotifications,
                                          Current<SpeechdLimits>().explicitOpen, &error);
  if (!Adopt(connection)) return false;
  if (m_lossLogged) LogSpeechLine("speech-dispatcher: connected again");
  m_lossLogged = false;
  return true;
}

void SpeechdSession::Disconnect() {
  if (m_clientId != 0) StopListening(m_clientId);
  m_clientId = 0;
  if (m_connection) spd_close(m_connection);
  m_connection = nullptr;
  const std::lock_guard<std::mutex> guard(m_lock);
  if (m_watchedSocket >= 0) close(m_watchedSocket);
  m_watchedSocket = -1;
}

void SpeechdSession::LoseConnection() {
  Disconnect();
  const std::lock_guard<std::mutex> guard(m_lock);
  FinishEverything();
  if (!m_lossLogged) {
    LogSpeechLine("speech-dispatcher: connection lost; silent until it answers again");
  }
  m_lossLogged = true;
}

bool SpeechdSession::ConnectionClosedByServer() const {
  int watched = -1;
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    watched = m_watchedSocket;
  }
  if (watched < 0) return true;
  pollfd entry = {watched, POLLRDHUP, 0};
  if (poll(&entry, 1, 0) < 0) return false;
  return (entry.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool SpeechdSession::Apply(const Settings& settings, bool markup) {
  const bool toDefault = settings.module.empty() && settings.voice.empty();
  if (toDefault && (!m_applied.module.empty() || !m_applied.voice.empty())) {
    // Only a fresh connection speaks with the player's own choice again.
    Disconnect();
    if (!Connect()) return false;
  } else if (settings.module != m_applied.module || settings.voice != m_applied.voice) {
    const bool moduleTaken =
        settings.module == m_applied.module ||
        Watched([&] { return spd_set_output_module(m_connection, settings.module.c_str()); }) == 0;
    const bool voiceTaken =
        moduleTaken &&
        Watched([&] { return spd_set_synthesis_voice(m_connection, settings.voice.c_str()); }) == 0;
    if (!voiceTaken) {
      if (ConnectionClosedByServer()) return false;
      LogSpeechLine("speech-dispatcher: refused the voice " + settings.voice + " of " +
                    settings.module);
    }
    // Not asked again for every utterance when refused.
    m_applied.module = settings.module;
    m_applied.voice = settings.voice;
  }
  const int rate = SpeechdRate(settings.rate);
  if (rate != SpeechdRate(m_applied.rate)) {
    Watched([&] { return spd_set_voice_rate(m_connection, rate); });
    m_applied.rate = settings.rate;
  }
  const int volume = SpeechdVolume(settings.volume);
  if (volume != SpeechdVolume(m_applied.volume)) {
    Watched([&] { return spd_set_volume(m_connection, volume); });
    m_applied.volume = settings.volume;
  }
  if (markup != m_appliedMarkup) {
    Watched([&] {
      return spd_set_data_mode(m_connection, markup ? SPD_DATA_SSML : SPD_DATA_TEXT);
    });
    m_appliedMarkup = markup;
  }
  return !ConnectionClosedByServer();
}

int SpeechdSession::Send(const Utterance& utterance) {
  if (m_connection == nullptr && !Connect()) return -1;
  if (!Apply(utterance.settings, utterance.markup)) {
    if (m_connection == nullptr || ConnectionClosedByServer()) LoseConnection();
    return -1;
  }
  const int message = Watched([&] {
    return spd_say(m_connection, utterance.priority, utterance.text.c_str());
  });
  if (message <= 0 && ConnectionClosedByServer()) LoseConnection();
  return message;
}

}  // namespace platform
