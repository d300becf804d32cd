// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/speechd/SpeechdVoiceList.h"

#include <cctype>
#include <mutex>

#include "platform/Immortal.h"
#include "platform/locale/TextEncoding.h"
#include "platform/sapi/Sapi.h"
#include "platform/sapi/speechd/SpeechdConnection.h"

namespace platform {

namespace {

struct ListState {
  std::mutex lock;
  VoiceTokenStore::TokenList tokens;
};

ListState& State() { return Immortal<ListState>(); }

std::string Lowered(const char* text) {
  std::string lowered = text ? text : "";
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

struct ListedVoice {
  std::string name;
  std::string language;
};

// LIST SYNTHESIS_VOICES: lines "249-name\tlanguage\tvariant". False when
// the reply did not come whole; what came is in *voices all the same.
bool SynthesisVoices(SsipChannel& connection, SsipClock::time_point deadline, size_t room,
                     std::vector<ListedVoice>* voices) {
  SsipReply reply;
  const SsipChannel::Result result =
      connection.Command("LIST SYNTHESIS_VOICES", deadline, &reply, room);
  for (const std::string& line : reply.lines) {
    const size_t tab = line.find('\t');
    ListedVoice voice;
    voice.name = line.substr(0, tab);
    if (tab != std::string::npos) {
      const size_t next = line.find('\t', tab + 1);
      voice.language = line.substr(tab + 1, next == std::string::npos ? next : next - tab - 1);
    }
    if (!voice.name.empty()) voices->push_back(std::move(voice));
  }
  return result == SsipChannel::Result::kOk;
}

}  // namespace

std::vector<VoiceToken> ListSpeechdVoices(SsipChannel& connection, SsipClock::time_point deadline,
                                          bool* cutShort) {
  std::vector<VoiceToken> tokens;
  *cutShort = false;
  SsipReply modules;
  if (connection.Command("LIST OUTPUT_MODULES", deadline, &modules) != SsipChannel::Result::kOk) {
    *cutShort = true;
    return tokens;
  }
  for (const std::string& module : modules.lines) {
    if (module.empty() || module.find_first_of("\r\n") != std::string::npos) continue;
    SsipReply taken;
    if (connection.Command("SET SELF OUTPUT_MODULE " + module, deadline, &taken) !=
        SsipChannel::Result::kOk) {
      *cutShort = true;
      break;
    }
    if (taken.code / 100 != 2) continue;
    std::vector<ListedVoice> voices;
    const bool whole =
        SynthesisVoices(connection, deadline, kMaxSpeechdVoices - tokens.size(), &voices);
    for (const ListedVoice& voice : voices) {
      const std::string& name = voice.name;
      VoiceToken token;
      token.id = std::wstring(SPCAT_VOICES) + L"\\Tokens\\speechd\\" + WideFromUtf8(module) +
                 L"\\" + WideFromUtf8(name);
      token.values[L""] = WideFromUtf8(name + " (" + module + ")");
      token.module = module;
      token.engineVoice = name;
      token.language = Lowered(voice.language.c_str());
      tokens.push_back(std::move(token));
    }
    if (!whole || tokens.size() >= kMaxSpeechdVoices) {
      *cutShort = true;
      break;
    }
  }
  return tokens;
}

VoiceTokenStore::TokenList SpeechdVoiceTokens() {
  ListState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  if (state.tokens) return state.tokens;
  const SpeechdLimits& limits = Current<SpeechdLimits>();
  std::string error;
  std::unique_ptr<SsipChannel> connection =
      OpenSpeechdChannel("voices", false, SsipClock::now() + limits.explicitOpen,
                         limits.explicitOpen.count(), &error);
  if (!connection) return std::make_shared<std::vector<VoiceToken>>();
  // The whole list within its own limit, however many modules there are.
  bool cutShort = false;
  auto tokens = std::make_shared<std::vector<VoiceToken>>(
      ListSpeechdVoices(*connection, SsipClock::now() + limits.voiceList, &cutShort));
  if (cutShort) {
    LogSpeechLine("speech-dispatcher: the voice list was cut short at " +
                  std::to_string(tokens->size()) + " voices");
  }
  state.tokens = std::move(tokens);
  return state.tokens;
}

void ForgetSpeechdVoices() {
  ListState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.tokens.reset();
}

}  // namespace platform
