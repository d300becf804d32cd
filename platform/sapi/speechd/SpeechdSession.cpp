// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SpeechdSession.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/sapi/speechd/SpeechdConnection.h"
#include "platform/sapi/speechd/SpeechdRequest.h"

namespace platform {

namespace {

constexpr int kBegin = 701;
constexpr int kEnd = 702;
constexpr int kCancel = 703;

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

std::unique_ptr<SpeechdSession> SpeechdSession::Open(std::chrono::milliseconds openLimit,
                                                     std::string* why) {
  std::unique_ptr<SsipChannel> connection = OpenSpeechdChannel(
      "main", true, SsipClock::now() + openLimit, openLimit.count(), why);
  if (!connection) return nullptr;
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    if (why) *why = "no thread to speak on";
    return nullptr;
  }
  return std::unique_ptr<SpeechdSession>(new SpeechdSession(std::move(connection), wakeFd));
}

SpeechdSession::SpeechdSession(std::unique_ptr<SsipChannel> connection, int wakeFd)
    : m_wakeFd(wakeFd), m_connection(std::move(connection)) {}

SpeechdSession::~SpeechdSession() { close(m_wakeFd); }

bool SpeechdSession::VoiceFor(ISpObjectToken* token, VoiceToken* voice) {
  if (token == nullptr) {
    *voice = VoiceToken();
    return true;
  }
  const VoiceToken* data = TokenData(token);
  if (data == nullptr || data->module.empty()) return false;  // not one of the server's
  *voice = *data;
  return true;
}

void SpeechdSession::Interrupt() {
  const uint64_t one = 1;
  // Fails only when the counter is full, which wakes the worker anyway.
  (void)!write(m_wakeFd, &one, sizeof one);
}

bool SpeechdSession::Start(UtteranceQueue& queue) {
  m_queue = &queue;
  BlockBrokenPipeSignal();
  return true;
}

void SpeechdSession::Close() { Disconnect(); }

void SpeechdSession::Idle() {
  if (!WaitForWork()) LoseConnection();
}

void SpeechdSession::Speak(const Utterance& utterance) {
  const int message = Send(utterance);
  if (message > m_lastMessage) m_lastMessage = message;
  TakeEvents();
  if (message <= 0) return;
  const SsipClock::time_point endBy = EndDeadline(utterance);
  for (;;) {
    // The generation first: the end of the voice moves it on too, after
    // saying it is the end.
    if (!m_queue->IsCurrent(utterance.generation)) {
      if (m_queue->Stopping()) return;
      // Purged, perhaps while it was being sent: only this connection's
      // speech is cancelled.
      ForgetEventsThrough(message);
      if (m_connection && !Set("CANCEL SELF")) LoseConnection();
      return;
    }
    if (Ended(message)) {
      ForgetEventsThrough(message);
      return;
    }
    if (SsipClock::now() >= endBy) {
      // The server took it and never said it ended: given up, so that
      // whoever waits for it goes on.
      LogSpeechLine("speech-dispatcher: an utterance never ended; cancelled");
      ForgetEventsThrough(message);
      if (m_connection && !Set("CANCEL SELF")) LoseConnection();
      return;
    }
    if (!WaitForWork(endBy)) {
      LoseConnection();
      return;
    }
  }
}

SsipClock::time_point SpeechdSession::EndDeadline(const Utterance& utterance) const {
  const SpeechdLimits& limits = Current<SpeechdLimits>();
  return SsipClock::now() + limits.speakingBase +
         limits.speakingPerCharacter * static_cast<long>(std::min<size_t>(utterance.text.size(), 1u << 20));
}

bool SpeechdSession::Ended(int message) const {
  const auto found = m_events.find(message);
  return found != m_events.end() && (found->second == kEnd || found->second == kCancel);
}

void SpeechdSession::ForgetEventsThrough(int message) {
  m_events.erase(m_events.begin(), m_events.upper_bound(message));
}

SsipClock::time_point SpeechdSession::ReplyDeadline() const {
  return SsipClock::now() + Current<SpeechdLimits>().reply;
}

void SpeechdSession::TakeEvents() {
  if (!m_connection) return;
  for (const SsipNotice& event : m_connection->TakeEvents()) {
    // Notices of messages this client never sent, however many a server
    // makes up, are nothing to keep.
    if (event.message <= 0 || event.message > m_lastMessage) continue;
    int& known = m_events[event.message];
    // A begin that comes after the end changes nothing.
    if (event.code != kBegin || (known != kEnd && known != kCancel)) known = event.code;
  }
}

bool SpeechdSession::WaitForWork(std::optional<SsipClock::time_point> deadline) {
  pollfd entries[2] = {{m_wakeFd, POLLIN, 0}, {-1, POLLIN | POLLRDHUP, 0}};
  if (m_connection) entries[1].fd = m_connection->fd();
  for (;;) {
    int timeout = -1;
    if (deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - SsipClock::now());
      timeout = static_cast<int>(std::clamp<long long>(left.count() + 1, 0, 1 << 30));
    }
    const int ready = poll(entries, 2, timeout);
    if (ready >= 0) break;
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
  // A server started anew numbers its messages from the start again.
  m_events.clear();
  m_lastMessage = 0;
  m_applied = Applied();
  m_appliedMarkup = false;
  if (m_lossLogged) LogSpeechLine("speech-dispatcher: connected again");
  m_lossLogged = false;
  return true;
}

void SpeechdSession::Disconnect() { m_connection.reset(); }

void SpeechdSession::LoseConnection() {
  Disconnect();
  if (!m_lossLogged) {
    LogSpeechLine("speech-dispatcher: connection lost; silent until it answers again");
  }
  m_lossLogged = true;
  // Last: a caller waiting for its utterance finds the loss in the log.
  m_queue->DropWaiting();
}

bool SpeechdSession::Apply(const VoiceSettings& wanted, bool markup) {
  Applied settings;
  settings.module = wanted.voice.module;
  settings.voice = wanted.voice.engineVoice;
  settings.rate = wanted.rate;
  settings.volume = wanted.volume;
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
  if (!m_connection && !Connect()) {
    // What waits would each try again and wait as long: silent instead,
    // as the loss of a connection makes it.
    LoseConnection();
    return -1;
  }
  if (!Apply(utterance.settings, utterance.markup) ||
      !Set(std::string("SET SELF PRIORITY ") + PriorityName(SpeechdPriority(utterance.flags)))) {
    LoseConnection();
    return -1;
  }
  int message = 0;
  if (!m_connection->Speak(SpeechdText(utterance.text.c_str(), utterance.markup), ReplyDeadline(),
                           &message)) {
    LoseConnection();
    return -1;
  }
  return message;
}

}  // namespace platform
