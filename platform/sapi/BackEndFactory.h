// SPDX-License-Identifier: GPL-3.0-or-later
// The one place that knows which speech back ends there are. From what
// NARRO_SPEECH names (SpeechEnd.h) it makes the back end a new voice speaks
// through, and lists the voices that back end offers, so that the voice
// object and its tokens work with whichever back end is in force:
//   "speechd"  the player's speech-dispatcher (speechd/), or no voice;
//   unset      speech-dispatcher when it answers within the automatic
//              limit, else espeak-ng into the sound card, the log saying
//              which;
//   "audio"    espeak-ng into the sound card (espeak/);
//   "wav:DIR"  espeak-ng into WAV files in DIR, each request logged;
//   "none"     no voice at all;
//   anything else as unset.
#ifndef NARRO_PLATFORM_SAPI_BACK_END_FACTORY_H_
#define NARRO_PLATFORM_SAPI_BACK_END_FACTORY_H_

#include <functional>
#include <memory>

#include "platform/sapi/Sapi.h"
#include "platform/sapi/VoiceBackEnd.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

// Takes a new back end and starts a voice over it; false, the back end
// gone with it, when the voice cannot start. Never throws.
using StartVoiceOver = std::function<bool(std::unique_ptr<VoiceBackEnd> end)>;

// Makes the back end NARRO_SPEECH names, on the calling thread, and hands
// it to start: S_OK once a voice started over one. REGDB_E_CLASSNOTREG with
// "none"; E_FAIL when no back end could be made or started.
HRESULT MakeVoiceBackEnd(const StartVoiceOver& start);

// The voices of the back end in force, in a stable order; never null. With
// NARRO_SPEECH unset, that is the end the last voice made went to; before
// any voice was made, speech-dispatcher when it answers within the
// automatic limit. Any thread.
VoiceTokenStore::TokenList BackEndVoices();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_BACK_END_FACTORY_H_
