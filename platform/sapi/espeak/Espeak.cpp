// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Immortal.h"
#include "platform/sapi/espeak/Espeak.h"

#include <dlfcn.h>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cwchar>
#include <mutex>

namespace platform {

namespace {

// Short buffers keep each callback, and so the reaction to a purge, short.
constexpr int kBufferMs = 10;

struct EngineState {
  std::mutex lock;  // held for every espeak-ng call
  bool started = false;
  bool failed = false;
  int sampleRate = 0;
  const SampleSink* sink = nullptr;  // of the synthesis in progress
};

// Never destroyed: speech may still be shut down while the process exits.
EngineState& State() { return Immortal<EngineState>(); }

int OnSamples(short* samples, int count, espeak_EVENT*) {
  const SampleSink* sink = State().sink;
  if (sink == nullptr || samples == nullptr || count <= 0) return 0;
  return (*sink)(samples, count) ? 0 : 1;
}

// espeak-ng keeps a thread of its own that it is never asked to end; keep
// its code mapped even when the library that loaded it is unloaded.
void PinEspeakLibrary() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&espeak_ng_Initialize), &info) &&
      info.dli_fname) {
    dlopen(info.dli_fname, RTLD_NOW | RTLD_NODELETE);
  }
}

// espeak-ng's initialisation sets the process's LC_CTYPE for good, yet the
// locale belongs to the host: it decides how the host's narrow text is read
// (ours too) and how it prints. The whole locale is noted before and put
// back after, category by category, so that whatever the host had set,
// mixed categories included, is what it finds again.
class HostLocaleKeeper {
 public:
  HostLocaleKeeper() {
    for (const int category : kCategories) {
      const char* name = std::setlocale(category, nullptr);
      m_names.emplace_back(name ? name : "");
    }
  }
  ~HostLocaleKeeper() {
    for (size_t i = 0; i < kCategories.size(); ++i) {
      const char* now = std::setlocale(kCategories[i], nullptr);
      if (m_names[i].empty() || (now && m_names[i] == now)) continue;
      std::setlocale(kCategories[i], m_names[i].c_str());
    }
  }
  HostLocaleKeeper(const HostLocaleKeeper&) = delete;
  HostLocaleKeeper& operator=(const HostLocaleKeeper&) = delete;

 private:
  // Every category glibc has, LC_ALL being only their sum.
  static constexpr std::array<int, 12> kCategories = {
      LC_CTYPE,   LC_NUMERIC, LC_TIME,    LC_COLLATE,   LC_MONETARY,    LC_MESSAGES,
      LC_PAPER,   LC_NAME,    LC_ADDRESS, LC_TELEPHONE, LC_MEASUREMENT, LC_IDENTIFICATION};
  std::vector<std::string> m_names;
};

bool StartLocked(EngineState& state) {
  if (state.started) return true;
  if (state.failed) return false;
  espeak_ng_STATUS status = ENS_OK;
  {
    const HostLocaleKeeper keeper;
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK) {
      status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBufferMs,
                                          nullptr);
    }
  }
  if (status != ENS_OK) {
    state.failed = true;
    return false;
  }
  espeak_SetSynthCallback(OnSamples);
  state.sampleRate = espeak_ng_GetSampleRate();
  state.started = true;
  PinEspeakLibrary();
  return true;
}

// Applied before every utterance, never skipped as unchanged: what espeak-ng
// holds may have been changed since by the text itself (markup left open, a
// synthesis cut off by a purge), and that must not reach the next utterance.
void ApplySettingsLocked(const SynthesisRequest& request) {
  const char* name =
      request.voiceIdentifier.empty() ? "en" : request.voiceIdentifier.c_str();
  if (espeak_ng_SetVoiceByName(name) != ENS_OK) espeak_ng_SetVoiceByName("en");
  espeak_ng_SetParameter(espeakRATE, request.wordsPerMinute, 0);
  espeak_ng_SetParameter(espeakVOLUME, request.volume, 0);
}

// espeak-ng takes some control characters as commands of its own: 0x01
// starts an embedded command that sets loudness or speed, and a stray one
// in game output would change how everything after it sounds. The text is
// only ever text, so every control character but tab and line end is read
// as a blank, and so is any code that is no Unicode character at all (a
// lone surrogate, a code past U+10FFFF, a negative wchar_t).
bool IsReadAsBlank(wchar_t c) {
  const auto code = static_cast<uint32_t>(c);
  if (code == '\t' || code == '\n' || code == '\r') return false;
  if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return true;
  return (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF;
}

// The text itself when nothing in it needs blanking, which is nearly always:
// a long text is then not copied once more.
const wchar_t* TextForSynthesis(const wchar_t* text, std::wstring& copy) {
  const wchar_t* end = text + std::wcslen(text);
  if (std::none_of(text, end, IsReadAsBlank)) return text;
  copy.assign(text, end);
  std::replace_if(copy.begin(), copy.end(), IsReadAsBlank, L' ');
  return copy.c_str();
}

}  // namespace

// Below the normal rate, SAPI's own scale: a factor of 3 to the power
// rate/10, down to the slowest rate espeak-ng takes.
//
// Above it, SAPI's factor of 3 would put rates 9 and 10 past
// espeakRATE_MAXIMUM, where espeak-ng stops timing the speech itself and
// instead speeds speech at the normal rate up with sonic, which comes out
// slower than its own timing just below (with espeak-ng 1.51, 450 words a
// minute last about an eighth longer than 449): rate 9 would be slower than
// 8, and with a cap both would sound the same. So the fast half spreads
// from the normal rate to the fastest rate espeak-ng times itself, by equal
// ratios of about a tenth a step.
int Espeak::WordsPerMinute(long rate) {
  rate = std::clamp(rate, -10L, 10L);
  constexpr int kFastest = espeakRATE_MAXIMUM - 1;
  const double factor =
      rate > 0 ? static_cast<double>(kFastest) / espeakRATE_NORMAL : 3.0;
  const double wpm = espeakRATE_NORMAL * std::pow(factor, rate / 10.0);
  return std::clamp(static_cast<int>(std::lround(wpm)), espeakRATE_MINIMUM, kFastest);
}

bool Espeak::Start() {
  EngineState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return StartLocked(state);
}

int Espeak::SampleRate() {
  EngineState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return state.sampleRate;
}

std::vector<InstalledVoice> Espeak::ListVoices() {
  EngineState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  std::vector<InstalledVoice> voices;
  if (!StartLocked(state)) return voices;
  // espeak-ng owns this list and frees it at the next call: copy it now.
  const espeak_VOICE** list = espeak_ListVoices(nullptr);
  for (size_t i = 0; list && list[i]; ++i) {
    const espeak_VOICE* voice = list[i];
    if (!voice->name || !voice->identifier) continue;
    // languages: a priority byte, then a zero-terminated name, repeated.
    const char* language = voice->languages ? voice->languages + 1 : "";
    voices.push_back(InstalledVoice{voice->name, voice->identifier, language});
  }
  std::sort(voices.begin(), voices.end(),
            [](const InstalledVoice& a, const InstalledVoice& b) {
              return a.identifier < b.identifier;
            });
  return voices;
}

bool Espeak::Synthesize(const SynthesisRequest& request, const SampleSink& sink) {
  EngineState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  if (!StartLocked(state) || request.text == nullptr) return false;
  ApplySettingsLocked(request);
  unsigned int flags = espeakCHARS_WCHAR;
  if (request.markup) flags |= espeakSSML;
  std::wstring copy;
  const wchar_t* text = TextForSynthesis(request.text, copy);
  state.sink = &sink;
  const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  const espeak_ng_STATUS status = espeak_ng_Synthesize(
      text, bytes, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
  state.sink = nullptr;
  return status == ENS_OK;
}

}  // namespace platform
