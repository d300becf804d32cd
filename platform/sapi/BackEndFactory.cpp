// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/BackEndFactory.h"

#include <atomic>
#include <string>
#include <utility>

#include "platform/sapi/SpeechEnd.h"
#include "platform/sapi/espeak/EspeakBackEnd.h"
#include "platform/sapi/espeak/EspeakVoiceList.h"
#include "platform/sapi/speechd/SpeechdConnection.h"
#include "platform/sapi/speechd/SpeechdSession.h"
#include "platform/sapi/speechd/SpeechdVoiceList.h"

namespace platform {

namespace {

// What the last voice made with NARRO_SPEECH unset went to.
enum class Noted { kNothing, kSpeechd, kSoundCard };
std::atomic<Noted> g_automaticEnd{Noted::kNothing};

void NoteAutomaticEnd(bool speechd) {
  g_automaticEnd = speechd ? Noted::kSpeechd : Noted::kSoundCard;
}

// Whether voices come from speech-dispatcher: with NARRO_SPEECH=speechd, or
// unset when the last voice made went there (asking the server, within the
// automatic limit, when no voice was made yet).
bool SpeechdIsTheEnd() {
  const AudioEndChoice choice = ChooseAudioEnd();
  if (choice.kind == AudioEndChoice::kSpeechd) return true;
  if (choice.kind != AudioEndChoice::kAutomatic) return false;
  const Noted noted = g_automaticEnd;
  if (noted != Noted::kNothing) return noted == Noted::kSpeechd;
  std::string error;
  const auto limit = Current<SpeechdLimits>().automaticOpen;
  const bool answered = OpenSpeechdChannel("probe", false, SsipClock::now() + limit, limit.count(),
                                           &error) != nullptr;
  NoteAutomaticEnd(answered);
  return answered;
}

// NARRO_SPEECH=speechd (automatic false) or unset (true): a
// speech-dispatcher voice when a connection opens in time. Says in the log
// which end speaks. Automatic and failing: the caller goes on to the sound
// card.
HRESULT StartOverSpeechd(bool automatic, const StartVoiceOver& start) {
  const SpeechdLimits& limits = Current<SpeechdLimits>();
  std::string why;
  HRESULT hr = E_FAIL;
  if (std::unique_ptr<SpeechdSession> session =
          SpeechdSession::Open(automatic ? limits.automaticOpen : limits.explicitOpen, &why)) {
    if (start(std::move(session))) {
      // The voices may have changed since they were last listed.
      ForgetSpeechdVoices();
      hr = S_OK;
    } else {
      why = "no thread to speak on";
    }
  }
  if (automatic) NoteAutomaticEnd(SUCCEEDED(hr));
  // A server's reasons may run over several lines; the log has one per event.
  for (char& c : why) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!why.empty() && why.back() == ' ') why.pop_back();
  if (SUCCEEDED(hr)) {
    LogSpeechLine("Speech: speech-dispatcher");
  } else if (automatic) {
    LogSpeechLine("Speech: the sound card (speech-dispatcher: " + why + ")");
  } else {
    LogSpeechLine("Speech: speech-dispatcher cannot be reached (" + why + ")");
  }
  return hr;
}

}  // namespace

HRESULT MakeVoiceBackEnd(const StartVoiceOver& start) {
  AudioEndChoice choice = ChooseAudioEnd();
  if (choice.kind == AudioEndChoice::kNone) return REGDB_E_CLASSNOTREG;
  if (choice.kind == AudioEndChoice::kSpeechd || choice.kind == AudioEndChoice::kAutomatic) {
    const bool automatic = choice.kind == AudioEndChoice::kAutomatic;
    HRESULT hr = E_FAIL;
    try {
      hr = StartOverSpeechd(automatic, start);
    } catch (...) {
      hr = E_FAIL;
    }
    if (SUCCEEDED(hr) || !automatic) return hr;
    choice.kind = AudioEndChoice::kSoundCard;
  }
  std::unique_ptr<EspeakBackEnd> end;
  try {
    end = EspeakBackEnd::Make(choice);
  } catch (...) {
    return E_FAIL;
  }
  if (!end) return E_FAIL;
  return start(std::move(end)) ? S_OK : E_FAIL;
}

VoiceTokenStore::TokenList BackEndVoices() {
  return SpeechdIsTheEnd() ? SpeechdVoiceTokens() : EspeakVoiceTokens();
}

}  // namespace platform
