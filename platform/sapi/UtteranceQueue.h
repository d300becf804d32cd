// SPDX-License-Identifier: GPL-3.0-or-later
// A voice's utterances, in the order they were asked for, spoken one at a
// time by a worker thread of the voice's own through its back end
// (VoiceBackEnd.h), whichever back end that is.
//
// SAPI's flags keep their meaning here. Every utterance has a serial, the
// stream number its caller gets. SPF_PURGEBEFORESPEAK drops what waits,
// counts it as finished, and moves the generation on, so that the utterance
// being spoken is given up too; a synchronous request (no SPF_ASYNC)
// returns once its own utterance has been spoken or dropped, or the worker
// has ended. SPF_IS_XML and SPF_IS_NOT_XML say whether the text is SSML;
// with neither, text that starts with '<' is.
#ifndef NARRO_PLATFORM_SAPI_UTTERANCE_QUEUE_H_
#define NARRO_PLATFORM_SAPI_UTTERANCE_QUEUE_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/VoiceBackEnd.h"

namespace platform {

// Whether the text of a request is SSML.
bool LooksLikeMarkup(const wchar_t* text, uint32_t flags);

class UtteranceQueue {
 public:
  // What may wait to be spoken: hours of speech. A game or a caller that
  // asks for more, faster than it is spoken, loses the oldest of what
  // waits, down to half, and in its place the listener hears kDroppedNotice
  // (the log says how many went). A synchronous request is never dropped.
  static constexpr size_t kWaitingCharacterLimit = 256 * 1024;
  static constexpr size_t kWaitingUtteranceLimit = 10000;
  static constexpr const wchar_t* kDroppedNotice = L"Some text was not spoken: too much was waiting.";

  // The back end must outlive the queue's worker (Stop, or the destructor).
  explicit UtteranceQueue(VoiceBackEnd& end);
  ~UtteranceQueue();
  UtteranceQueue(const UtteranceQueue&) = delete;
  UtteranceQueue& operator=(const UtteranceQueue&) = delete;

  // Starts the worker and waits for the back end's Start. False when that
  // failed or no thread could be had; the queue is of no use then.
  bool Start();
  // Purges, ends the worker and waits for it: every caller still waiting
  // returns.
  void Stop();

  // SAPI's Speak. E_INVALIDARG for contradictory flags or a file name.
  HRESULT Speak(const wchar_t* text, uint32_t flags, ULONG* streamNumber);
  // For the utterances asked for from now on.
  void SetVoice(const VoiceToken& voice);
  void SetRate(long rate);
  void SetVolume(uint16_t volume);

  // For the back end, from any thread without waiting: false once the
  // queue has been purged or stopped since an utterance of this generation
  // was asked for.
  bool IsCurrent(uint64_t generation) const {
    return generation == m_generation.load(std::memory_order_acquire);
  }
  bool Stopping() const { return m_stopping.load(std::memory_order_acquire); }
  // For the back end, on the worker: counts every utterance asked for so far
  // as finished without a purge, as when its connection is lost.
  void DropWaiting();

 private:
  void WorkerMain();
  void Serve();
  // With m_lock held.
  void PurgeLocked();
  void FinishLocked(uint64_t serial);
  void DropOldestLocked();

  VoiceBackEnd& m_end;

  std::mutex m_lock;
  std::condition_variable m_done;  // callers waiting for their utterance
  std::deque<Utterance> m_queue;
  size_t m_waitingCharacters = 0;  // the text in m_queue
  VoiceSettings m_settings;
  uint64_t m_nextSerial = 1;
  uint64_t m_finishedThrough = 0;
  enum class Start { kPending, kRunning, kFailed } m_start = Start::kPending;
  bool m_workerEnded = false;
  std::atomic<uint64_t> m_generation{0};  // moves on at every purge
  std::atomic<bool> m_stopping{false};    // written with m_lock held
  std::thread m_thread;
};

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_UTTERANCE_QUEUE_H_
