// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdSession.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/SpeechdConnection.h"
#include "platform/sapi/SpeechdRequest.h"

namespace platform {

namespace {

constexpr int kBegin = 701;
constexpr int kEnd = 702;
constexpr int kCancel = 703;

bool LooksLikeMarkup(const wchar_t* text, uint32_t flags) {
  if (flags & SPF_IS_XML) return true;
  if (flags & SPF_IS_NOT_XML) return false;
  return text[0] == L'<';
}

const char* PriorityName(SPDPriority priority) {
  return priority == SPD_TEXT ? "TEXT" : "MESSAGE";
}

// Names and values go on one command line: line ends inside would start
// another command.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

std::shared_ptr<SpeechdSession> SpeechdSession::Start(std::unique_ptr<SsipChannel> connection) {
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) return nullptr;
  std::shared_ptr<SpeechdSession> session(new SpeechdSession(std::move(connection), wakeFd));
  try {
    session->m_worker = std::thread([session] { session->WorkerMain(); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return session;
}

SpeechdSession::SpeechdSession(std::unique_ptr<SsipChannel> connection, int wakeFd)
    : m_wakeFd(wakeFd), m_connection(std::move(connection)) {}

SpeechdSession::~SpeechdSession() { close(m_wakeFd); }

void SpeechdSession::Wake() {
  const uint64_t one = 1;
  // Fails only when the counter is full, which wakes the worker anyway.
  (void)!write(m_wakeFd, &one, sizeof one);
}

void SpeechdSession::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  std::unique_lock<std::mutex> lock(m_lock);
  if (streamNumber) *streamNumber = 0;
  if (flags & SPF_PURGEBEFORESPEAK) {
    ++m_generation;
    m_queue.clear();
    m_finishedThrough = m_nextSerial - 1;
    m_cancelPending = true;
    Wake();
    m_done.notify_all();
  }
  if (text == nullptr || *text == L'\0' || m_stopping) return;
  Utterance utterance;
  utterance.serial = m_nextSerial++;
  utterance.generation = m_generation;
  utterance.markup = LooksLikeMarkup(text, flags);
  utterance.text = SpeechdText(text, utterance.markup);
  utterance.priority = SpeechdPriority(flags);
  utterance.settings = m_settings;
  const uint64_t serial = utterance.serial;
  m_queue.push_back(std::move(utterance));
  Wake();
  if (streamNumber) *streamNumber = static_cast<ULONG>(serial);
  if (!(flags & SPF_ASYNC)) {
    m_done.wait(lock, [&] { return m_finishedThrough >= serial || m_workerDone; });
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
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_stopping = true;
    ++m_generation;
    FinishEverything();
    Wake();
  }
  // Every call of the worker ends by its deadline, so this join does too.
  if (m_worker.joinable()) m_worker.join();
}

bool SpeechdSession::Ended(int message) const {
  const auto found = m_events.find(message);
  return found != m_events.end() && (found->second == kEnd || found->second == kCancel);
}

bool SpeechdSession::HasWork() const {
  return m_stopping || m_cancelPending || (m_inFlight.message == 0 && !m_queue.empty()) ||
         (m_inFlight.message != 0 && Ended(m_inFlight.message));
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

SsipClock::time_point SpeechdSession::ReplyDeadline() const {
  return SsipClock::now() + Current<SpeechdLimits>().reply;
}

void SpeechdSession::TakeEvents() {
  if (!m_connection) return;
  std::deque<SsipNotice> events = m_connection->TakeEvents();
  if (events.empty()) return;
  const std::lock_guard<std::mutex> guard(m_lock);
  for (const SsipNotice& event : events) {
    int& known = m_events[event.message];
    // A begin that comes after the end changes nothing.
    if (event.code != kBegin || (known != kEnd && known != kCancel)) known = event.code;
  }
}

bool SpeechdSession::WaitForWork() {
  pollfd entries[2] = {{m_wakeFd, POLLIN, 0}, {-1, POLLIN | POLLRDHUP, 0}};
  if (m_connection) entries[1].fd = m_connection->fd();
  while (poll(entries, 2, -1) < 0) {
    if (errno != EINTR) return true;
  }
  uint64_t count = 0;
  (void)!read(m_wakeFd, &count, sizeof count);
  if (m_connection && entries[1].revents != 0) {
    if (!m_connection->ReadAvailable()) return false;
    TakeEvents();
  }
  return true;
}

void SpeechdSession::WorkerMain() {
  BlockBrokenPipeSignal();
  std::unique_lock<std::mutex> lock(m_lock);
  for (;;) {
    if (!HasWork()) {
      lock.unlock();
      const bool connected = WaitForWork();
      if (!connected) LoseConnection();
      lock.lock();
      continue;
    }
    if (m_stopping) break;
    if (m_cancelPending) {
      m_cancelPending = false;
      if (m_inFlight.message == 0) continue;
      m_events.erase(m_events.begin(), m_events.upper_bound(m_inFlight.message));
      m_inFlight = InFlight();
      lock.unlock();
      if (m_connection && !Set("CANCEL SELF")) LoseConnection();
      lock.lock();
      continue;
    }
    if (m_inFlight.message != 0) {
      const int message = m_inFlight.message;
      m_events.erase(m_events.begin(), m_events.upper_bound(message));
      Finish(m_inFlight.serial);
      m_inFlight = InFlight();
      continue;
    }
    Utterance utterance = std::move(m_queue.front());
    m_queue.pop_front();
    if (utterance.generation != m_generation) {
      Finish(utterance.serial);
      continue;
    }
    lock.unlock();
    const int message = Send(utterance);
    TakeEvents();
    lock.lock();
    if (message > 0 && utterance.generation == m_generation && !m_stopping) {
      m_inFlight.serial = utterance.serial;
      m_inFlight.message = message;
    } else {
      // Purged while it was sent: the pending cancel stops it.
      Finish(utterance.serial);
    }
  }
  lock.unlock();
  Disconnect();
  lock.lock();
  m_workerDone = true;
  m_done.notify_all();
}

bool SpeechdSession::Set(const std::string& command) {
  SsipReply reply;
  if (m_connection->Command(command, ReplyDeadline(), &reply) != SsipChannel::Result::kOk) {
    return false;
  }
  TakeEvents();
  return true;  // answered, whether taken or not
}

bool SpeechdSession::Connect() {
  const auto limit = Current<SpeechdLimits>().explicitOpen;
  std::string error;
  m_connection = OpenSpeechdChannel("main", true, SsipClock::now() + limit, limit.count(), &error);
  if (!m_connection) return false;
  {
    // A server started anew numbers its messages from the start again.
    const std::lock_guard<std::mutex> guard(m_lock);
    m_events.clear();
  }
  m_applied = Settings();
  m_appliedMarkup = false;
  if (m_lossLogged) LogSpeechLine("speech-dispatcher: connected again");
  m_lossLogged = false;
  return true;
}

void SpeechdSession::Disconnect() { m_connection.reset(); }

void SpeechdSession::LoseConnection() {
  Disconnect();
  const std::lock_guard<std::mutex> guard(m_lock);
  FinishEverything();
  if (!m_lossLogged) {
    LogSpeechLine("speech-dispatcher: connection lost; silent until it answers again");
  }
  m_lossLogged = true;
}

bool SpeechdSession::Apply(const Settings& settings, bool markup) {
  const auto answered = [this](const std::string& command, bool* taken) {
    SsipReply reply;
    if (m_connection->Command(command, ReplyDeadline(), &reply) != SsipChannel::Result::kOk) {
      return false;
    }
    TakeEvents();
    if (taken) *taken = reply.code / 100 == 2;
    return true;
  };
  const bool toDefault = settings.module.empty() && settings.voice.empty();
  if (toDefault && (!m_applied.module.empty() || !m_applied.voice.empty())) {
    // Only a fresh connection speaks with the player's own choice again.
    Disconnect();
    if (!Connect()) return false;
  } else if (settings.module != m_applied.module || settings.voice != m_applied.voice) {
    bool moduleTaken = settings.module == m_applied.module;
    if (!moduleTaken &&
        !answered("SET SELF OUTPUT_MODULE " + OneLine(settings.module), &moduleTaken)) {
      return false;
    }
    bool voiceTaken = false;
    if (moduleTaken &&
        !answered("SET SELF SYNTHESIS_VOICE " + OneLine(settings.voice), &voiceTaken)) {
      return false;
    }
    if (!voiceTaken) {
      LogSpeechLine("speech-dispatcher: refused the voice " + settings.voice + " of " +
                    settings.module);
    }
    // Not asked again for every utterance when refused.
    m_applied.module = settings.module;
    m_applied.voice = settings.voice;
  }
  const int rate = SpeechdRate(settings.rate);
  if (rate != SpeechdRate(m_applied.rate)) {
    if (!answered("SET SELF RATE " + std::to_string(rate), nullptr)) return false;
    m_applied.rate = settings.rate;
  }
  const int volume = SpeechdVolume(settings.volume);
  if (volume != SpeechdVolume(m_applied.volume)) {
    if (!answered("SET SELF VOLUME " + std::to_string(volume), nullptr)) return false;
    m_applied.volume = settings.volume;
  }
  if (markup != m_appliedMarkup) {
    if (!answered(std::string("SET SELF SSML_MODE ") + (markup ? "on" : "off"), nullptr)) {
      return false;
    }
    m_appliedMarkup = markup;
  }
  return true;
}

int SpeechdSession::Send(const Utterance& utterance) {
  if (!m_connection && !Connect()) return -1;
  if (!Apply(utterance.settings, utterance.markup) ||
      !Set(std::string("SET SELF PRIORITY ") + PriorityName(utterance.priority))) {
    LoseConnection();
    return -1;
  }
  int message = 0;
  if (!m_connection->Speak(utterance.text, ReplyDeadline(), &message)) {
    LoseConnection();
    return -1;
  }
  return message;
}

}  // namespace platform
