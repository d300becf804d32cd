#include "platform/sapi/SpeechdVoiceList.h"

#include <cctype>
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

}  // namespace

std::vector<VoiceToken> ListSpeechdVoices(SPDConnection* connection) {
  std::vector<VoiceToken> tokens;
  char** modules = spd_list_modules(connection);
  if (modules == nullptr) return tokens;
  for (size_t m = 0; modules[m] != nullptr; ++m) {
    const std::string module = modules[m];
    if (spd_set_output_module(connection, module.c_str()) != 0) continue;
    SPDVoice** voices = spd_list_synthesis_voices(connection);
    for (size_t v = 0; voices && voices[v]; ++v) {
      const std::string name = voices[v]->name ? voices[v]->name : "";
      if (name.empty()) continue;
      VoiceToken token;
      token.id = std::wstring(SPCAT_VOICES) + L"\\Tokens\\speechd\\" +
                 FromUtf8(module) + L"\\" + FromUtf8(name);
      token.values[L""] = FromUtf8(name + " (" + module + ")");
      token.module = module;
      token.engineVoice = name;
      token.language = Lowered(voices[v]->language);
      tokens.push_back(std::move(token));
    }
    free_spd_voices(voices);
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
