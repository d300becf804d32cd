// SPDX-License-Identifier: GPL-3.0-or-later
// The voice tokens of the voices category: one per voice the back end in
// force offers, listed and named by that back end (BackEndFactory.h).
// Tests put a token store of their own in place of the real one.
#ifndef NARRO_PLATFORM_SAPI_VOICE_TOKENS_H_
#define NARRO_PLATFORM_SAPI_VOICE_TOKENS_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Seam.h"
#include "platform/sapi/Sapi.h"

namespace platform {

struct VoiceToken {
  std::wstring id;
  std::map<std::wstring, std::wstring> values;  // L"" is the default value
  std::string engineVoice;  // the espeak-ng identifier or speech-dispatcher
                            // voice name; empty: default voice
  std::string module;       // the speech-dispatcher output module
  std::string language;     // "en-us"; may be empty
};

// Where the tokens come from. The seam (platform/Seam.h): the real store
// lists the voices of the back end in force; tests put a fixed list in
// place with a ScopedVoiceTokenStore.
class VoiceTokenStore {
 public:
  virtual ~VoiceTokenStore() = default;
  static VoiceTokenStore& Real();

  using TokenList = std::shared_ptr<const std::vector<VoiceToken>>;
  // In a stable order; never null. Called from any thread.
  virtual TokenList Tokens() = 0;
};

using ScopedVoiceTokenStore = ScopedReplacement<VoiceTokenStore>;

VoiceTokenStore::TokenList InstalledVoiceTokens();

// The token the default voice speaks with: the installed voice of the
// user's language, else English, else the first. Empty id when none.
VoiceToken DefaultVoiceToken();

// The token data behind a token object made here; null for anything else.
const VoiceToken* TokenData(ISpObjectToken* token);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_VOICE_TOKENS_H_
