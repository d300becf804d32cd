// SPDX-License-Identifier: GPL-3.0-or-later
// The voice tokens of speech-dispatcher: one per synthesis voice of every
// output module, identified as the voices category, "\Tokens\speechd\", the
// module and the voice's name, so that an identifier names one voice of one
// module. The default value reads "name (module)".
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_VOICE_LIST_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_VOICE_LIST_H_

#include <vector>

#include "platform/sapi/speechd/SsipChannel.h"
#include "platform/sapi/VoiceTokens.h"

namespace platform {

// At most this many voices are listed: a server that claims more would
// take the host's memory and time for a list nobody could read through.
constexpr size_t kMaxSpeechdVoices = 20000;

// Every voice of every module, modules in the server's order, at most
// kMaxSpeechdVoices, read by deadline: what has not come by then is left
// out (*cutShort then). The connection is left set to the last module
// listed, or lost: use one of its own.
std::vector<VoiceToken> ListSpeechdVoices(SsipChannel& connection, SsipClock::time_point deadline,
                                          bool* cutShort);

// The speech-dispatcher voices, listed once on a connection of their own
// and kept until the next voice is made.
VoiceTokenStore::TokenList SpeechdVoiceTokens();
void ForgetSpeechdVoices();

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_VOICE_LIST_H_
