// SPDX-License-Identifier: GPL-3.0-or-later
// The voice tokens of espeak-ng: one per installed voice, identified as the
// voices category, "\Tokens\" and the espeak-ng voice identifier, with the
// voice's name as the default value.
#ifndef NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_VOICE_LIST_H_
#define NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_VOICE_LIST_H_

#include "platform/sapi/VoiceTokens.h"

namespace platform {

// The installed voices, listed the first time they are asked for and kept
// until the next RefreshEspeakVoices.
VoiceTokenStore::TokenList EspeakVoiceTokens();
// Lists them afresh: an espeak-ng voice does this when it starts, so that a
// voice installed since the last listing can be chosen.
void RefreshEspeakVoices();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_ESPEAK_ESPEAK_VOICE_LIST_H_
