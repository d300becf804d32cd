// SPDX-License-Identifier: GPL-3.0-or-later
// The voice tokens of speech-dispatcher: one per synthesis voice of every
// output module, identified as the voices category, "\Tokens\speechd\", the
// module and the voice's name, so that an identifier names one voice of one
// module. The default value reads "name (module)".
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_VOICE_LIST_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_VOICE_LIST_H_

#include <libspeechd.h>

#include <vector>

#include "platform/sapi/VoiceTokens.h"

namespace platform {

// Every voice of every module, modules in the server's order. The
// connection is left set to the last module listed: use one of its own.
std::vector<VoiceToken> ListSpeechdVoices(SPDConnection* connection);

// The speech-dispatcher voices, listed once on a connection of their own
// and kept until the next voice is made.
VoiceTokenStore::TokenList SpeechdVoiceTokens();
void ForgetSpeechdVoices();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_VOICE_LIST_H_
