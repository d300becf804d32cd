// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/UtteranceQueue.h"

#include <algorithm>
#include <system_error>
#include <string>
#include <utility>

#include "platform/debugout/DebugOutput.h"
#include "platform/debugout/LogMirror.h"

namespace platform {

bool LooksLikeMarkup(const wchar_t* text, uint32_t flags) {
  if (flags & SPF_IS_XML) return true;
  if (flags & SPF_IS_NOT_XML) return false;
  return text[0] == L'<';
}

UtteranceQueue::UtteranceQueue(VoiceBackEnd& end) : m_end(end) {}

UtteranceQueue::~UtteranceQueue() { Stop(); }

bool UtteranceQueue::Start() {
  // A COM factory reports failure by its result: a thread that cannot be
  // started must not throw into the host.
  try {
    m_thread = std::thread(&UtteranceQueue::WorkerMain, this);
  } catch (const std::system_error&) {
    return false;
  }
  std::unique_lock<std::mutex> lock(m_lock);
  m_done.wait(lock, [this] { return m_start != Start::kPending; });
  return m_start == Start::kRunning;
}

void UtteranceQueue::Stop() {
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!m_stopping) {
      // Before the generation moves on: a back end that sees the purge
      // then knows it is the end and not one to pass on.
      m_stopping.store(true, std::memory_order_release);
      PurgeLocked();
    }
  }
  // Every call of the back end ends by a deadline of its own, or at the
  // purge, so this join does too.
  if (m_thread.joinable()) m_thread.join();
}

void UtteranceQueue::WorkerMain() {
  const bool ready = m_end.Start(*this);
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_start = ready ? Start::kRunning : Start::kFailed;
  }
  m_done.notify_all();
  if (ready) Serve();
  m_end.Close();  // what the back end opened is closed on the thread that used it
  {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_workerEnded = true;
  }
  m_done.notify_all();
}

void UtteranceQueue::Serve() {
  std::unique_lock<std::mutex> lock(m_lock);
  while (!m_stopping) {
    if (m_queue.empty()) {
      lock.unlock();
      m_end.Idle();
      lock.lock();
      continue;
    }
    Utterance utterance = std::move(m_queue.front());
    m_queue.pop_front();
    m_waitingCharacters -= std::min(m_waitingCharacters, utterance.text.size());
    if (IsCurrent(utterance.generation)) {
      lock.unlock();
      m_end.Speak(utterance);
      lock.lock();
    }
    FinishLocked(utterance.serial);
  }
}

void UtteranceQueue::FinishLocked(uint64_t serial) {
  m_finishedThrough = std::max(m_finishedThrough, serial);
  m_done.notify_all();
}

void UtteranceQueue::DropOldestLocked() {
  size_t dropped = 0;
  uint64_t lastDropped = 0;
  while (!m_queue.empty() && m_queue.size() > 1 &&
         (m_waitingCharacters > kWaitingCharacterLimit / 2 || m_queue.size() > kWaitingUtteranceLimit / 2)) {
    const Utterance& oldest = m_queue.front();
    if (oldest.synchronous) break;  // its caller waits to hear it
    m_waitingCharacters -= std::min(m_waitingCharacters, oldest.text.size());
    lastDropped = oldest.serial;
    m_queue.pop_front();
    ++dropped;
  }
  if (dropped == 0) return;
  // The notice takes the last dropped one's place and serial, so that
  // finishing it finishes nothing asked for after it.
  Utterance notice;
  notice.serial = lastDropped;
  notice.generation = m_generation.load(std::memory_order_relaxed);
  notice.text = kDroppedNotice;
  notice.settings = m_settings;
  if (!m_queue.empty() && m_queue.front().text == notice.text) m_queue.pop_front();
  else m_waitingCharacters += notice.text.size();
  m_queue.push_front(std::move(notice));
  const std::string line = "Speech: " + std::to_string(dropped) + " utterances were dropped: too much was waiting";
  OutputDebugString(line);
  WriteLogMirror(line);
}

void UtteranceQueue::PurgeLocked() {
  m_generation.fetch_add(1, std::memory_order_acq_rel);
  m_queue.clear();
  m_waitingCharacters = 0;
  m_finishedThrough = m_nextSerial - 1;
  m_done.notify_all();
  m_end.Interrupt();
}

void UtteranceQueue::DropWaiting() {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_queue.clear();
  m_waitingCharacters = 0;
  m_finishedThrough = m_nextSerial - 1;
  m_done.notify_all();
}

HRESULT UtteranceQueue::Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber) {
  std::unique_lock<std::mutex> lock(m_lock);
  const uint64_t logNumber = m_end.LogRequest(text, flags, m_settings);
  if ((flags & SPF_IS_XML) && (flags & SPF_IS_NOT_XML)) return E_INVALIDARG;
  if (flags & SPF_IS_FILENAME) return E_INVALIDARG;  // no file reading here
  if (streamNumber) *streamNumber = 0;
  if (flags & SPF_PURGEBEFORESPEAK) PurgeLocked();
  if (text == nullptr || *text == L'\0' || m_stopping) return S_OK;
  Utterance utterance;
  utterance.serial = m_nextSerial++;
  utterance.generation = m_generation.load(std::memory_order_relaxed);
  utterance.logNumber = logNumber;
  utterance.text = text;
  utterance.flags = flags;
  utterance.markup = LooksLikeMarkup(text, flags);
  utterance.synchronous = !(flags & SPF_ASYNC);
  utterance.settings = m_settings;
  const uint64_t serial = utterance.serial;
  m_waitingCharacters += utterance.text.size();
  m_queue.push_back(std::move(utterance));
  if (m_waitingCharacters > kWaitingCharacterLimit || m_queue.size() > kWaitingUtteranceLimit) DropOldestLocked();
  m_end.Interrupt();
  if (streamNumber) *streamNumber = static_cast<ULONG>(serial);
  if (!(flags & SPF_ASYNC)) {
    m_done.wait(lock, [&] { return m_finishedThrough >= serial || m_workerEnded; });
  }
  return S_OK;
}

void UtteranceQueue::SetVoice(const VoiceToken& voice) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.voice = voice;
}

void UtteranceQueue::SetRate(long rate) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.rate = rate;
}

void UtteranceQueue::SetVolume(uint16_t volume) {
  const std::lock_guard<std::mutex> guard(m_lock);
  m_settings.volume = volume;
}

}  // namespace platform
