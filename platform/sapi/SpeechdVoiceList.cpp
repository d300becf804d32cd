// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sapi/SpeechdVoiceList.h"

#include <cctype>
#include <cstdlib>
#include <mutex>

#include "platform/Immortal.h"
#include "platform/locale/Utf8.h"
#include "platform/sapi/Sapi.h"
#include "platform/sapi/SpeechdConnection.h"

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

// LIST SYNTHESIS_VOICES, read here rather than by spd_list_synthesis_voices:
// libspeechd walks the reply from its start again for every voice, and a
// module such as espeak-ng offers thousands (every language with every
// variant), which then takes seconds. Lines are "249-name\tlanguage\tvariant".
std::vector<ListedVoice> SynthesisVoices(SPDConnection* connection) {
  std::vector<ListedVoice> voices;
  char* reply = nullptr;
  if (spd_execute_command_with_reply(connection, "LIST SYNTHESIS_VOICES", &reply) == 0 &&
      reply != nullptr) {
    const std::string text = reply;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      if (end - start < 4 || text[start + 3] != '-') continue;  // the closing line
      const std::string line = text.substr(start + 4, end - start - 4);
      const size_t tab = line.find('\t');
      ListedVoice voice;
      voice.name = line.substr(0, tab);
      if (tab != std::string::npos) {
        const size_t next = line.find('\t', tab + 1);
        voice.language = line.substr(tab + 1, next == std::string::npos ? next : next - tab - 1);
      }
      if (!voice.name.empty()) voices.push_back(std::move(voice));
    }
  }
  std::free(reply);
  return voices;
}

}  // namespace

std::vector<VoiceToken> ListSpeechdVoices(SPDConnection* connection) {
  std::vector<VoiceToken> tokens;
  char** modules = spd_list_modules(connection);
  if (modules == nullptr) return tokens;
  for (size_t m = 0; modules[m] != nullptr; ++m) {
    const std::string module = modules[m];
    if (spd_set_output_module(connection, module.c_str()) != 0) continue;
    for (const ListedVoice& voice : SynthesisVoices(connection)) {
      const std::string& name = voice.name;
      VoiceToken token;
      token.id = std::wstring(SPCAT_VOICES) + L"\\Tokens\\speechd\\" +
                 FromUtf8(module) + L"\\" + FromUtf8(name);
      token.values[L""] = FromUtf8(name + " (" + module + ")");
      token.module = module;
      token.engineVoice = name;
      token.language = Lowered(voice.language.c_str());
      tokens.push_back(std::move(token));
    }
  }
  free_spd_modules(modules);
  return tokens;
}

VoiceTokenStore::TokenList SpeechdVoiceTokens() {
  ListState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  if (state.tokens) return state.tokens;
  const BrokenPipeGuard pipeGuard;
  std::string error;
  SPDConnection* connection =
      OpenSpeechd("voices", SpeechdMode::kCommands,
                  Current<SpeechdLimits>().explicitOpen, &error);
  if (connection == nullptr) return std::make_shared<std::vector<VoiceToken>>();
  LimitReplyWait(connection, Current<SpeechdLimits>().reply);
  auto tokens = std::make_shared<std::vector<VoiceToken>>(ListSpeechdVoices(connection));
  spd_close(connection);
  state.tokens = std::move(tokens);
  return state.tokens;
}

void ForgetSpeechdVoices() {
  ListState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.tokens.reset();
}

}  // namespace platform
