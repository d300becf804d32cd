// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the installed voices, described in the user's language. Nothing
// here depends on an engine's state.
#include "platform/locale/TextEncoding.h"
#include "platform/locale/Language.h"
#include "speech/SpeechTTS.h"

using namespace platform;

namespace {

// Reads one string value of a token; the platform string is freed here.
HRESULT ReadTokenString(ISpObjectToken* token, const wchar_t* name,
                        std::wstring* value) {
  wchar_t* text = nullptr;
  const HRESULT hr = token->GetStringValue(name, &text);
  if (SUCCEEDED(hr) && text) *value = text;
  CoTaskMemFree(text);
  return hr;
}

// The token's description in the interface language, else its default
// value. False when it has neither.
bool ReadDescription(ISpObjectToken* token, std::wstring* description) {
  const std::wstring key =
      CSpeechTTS::HexFromLangId(CSpeechTTS::GetUserUILanguage());
  HRESULT hr = ReadTokenString(token, key.c_str(), description);
  if (hr == SPERR_NOT_FOUND) hr = ReadTokenString(token, nullptr, description);
  return SUCCEEDED(hr);
}

bool ReadId(ISpObjectToken* token, std::wstring* id) {
  wchar_t* text = nullptr;
  const HRESULT hr = token->GetId(&text);
  if (SUCCEEDED(hr) && text) *id = text;
  CoTaskMemFree(text);
  return SUCCEEDED(hr);
}

}  // namespace

HRESULT CSpeechTTS::EnumerateVoices(std::vector<VoiceEntry>& list,
                                    const wchar_t* category) {
  ISpObjectTokenCategory* tokenCategory = nullptr;
  if (CreateSpObjectTokenCategory(&tokenCategory) != S_OK) {
    return SPERR_NO_MORE_ITEMS;
  }
  IEnumSpObjectTokens* tokens = nullptr;
  if (tokenCategory->SetId(category, false) != S_OK ||
      tokenCategory->EnumTokens(nullptr, nullptr, &tokens) != S_OK) {
    tokenCategory->Release();
    return SPERR_NO_MORE_ITEMS;
  }
  ISpObjectToken* token = nullptr;
  while (tokens->Next(1, &token, nullptr) == S_OK) {
    std::wstring description;
    std::wstring id;
    if (ReadDescription(token, &description) && ReadId(token, &id)) {
      list.push_back(
          VoiceEntry{platform::LocaleFromWide(description), platform::LocaleFromWide(id)});
    }
    token->Release();
  }
  tokens->Release();
  tokenCategory->Release();
  return S_OK;
}

LANGID CSpeechTTS::GetUserUILanguage() {
  const LANGID language = GetUserDefaultUILanguage();
  return language != 0 ? language : GetUserDefaultLangID();
}

std::wstring CSpeechTTS::HexFromLangId(unsigned int langId) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  do {
    hex.insert(hex.begin(), kDigits[langId & 0xF]);
    langId >>= 4;
  } while (langId != 0);
  return hex;
}
