// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Immortal.h"
#include "platform/sapi/VoiceTokens.h"

#include <cctype>
#include <cwctype>
#include <utility>

#include "platform/locale/Language.h"
#include "platform/sapi/BackEndFactory.h"
#include "platform/sapi/ComRuntime.h"
#include "platform/sapi/RefCounted.h"

namespace platform {

namespace {

// Asked afresh each time, since the end in force is decided when a voice is
// made, which may be after a first listing.
class InstalledVoiceStore : public VoiceTokenStore {
 public:
  TokenList Tokens() override { return BackEndVoices(); }
};

bool SameText(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

class ObjectToken : public RefCounted<ISpObjectToken> {
 public:
  ObjectToken() = default;
  explicit ObjectToken(VoiceToken data) : m_data(std::move(data)), m_set(true) {}

  HRESULT SetId(const wchar_t*, const wchar_t* tokenId, bool) override {
    if (m_set) return E_FAIL;  // a token is set once
    if (tokenId == nullptr) return E_POINTER;
    // No voice has an empty id; no list is asked of the server for it.
    if (*tokenId == L'\0') return SPERR_NOT_FOUND;
    // Held here: a store that lists afresh each time owns nothing after the
    // call, and a range over the temporary's vector would outlive it.
    const VoiceTokenStore::TokenList tokens = InstalledVoiceTokens();
    for (const VoiceToken& token : *tokens) {
      if (SameText(token.id, tokenId)) {
        m_data = token;
        m_set = true;
        return S_OK;
      }
    }
    return SPERR_NOT_FOUND;
  }

  HRESULT GetId(wchar_t** id) override {
    if (id == nullptr) return E_POINTER;
    *id = nullptr;
    if (!m_set) return SPERR_UNINITIALIZED;
    *id = CoTaskMemDuplicate(m_data.id);
    return *id ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT GetStringValue(const wchar_t* valueName, wchar_t** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    if (!m_set) return SPERR_UNINITIALIZED;
    const auto found = m_data.values.find(valueName ? valueName : L"");
    if (found == m_data.values.end()) return SPERR_NOT_FOUND;
    *value = CoTaskMemDuplicate(found->second);
    return *value ? S_OK : E_OUTOFMEMORY;
  }

  const VoiceToken* data() const { return m_set ? &m_data : nullptr; }

 private:
  VoiceToken m_data;
  bool m_set = false;
};

class TokenEnumerator : public RefCounted<IEnumSpObjectTokens> {
 public:
  explicit TokenEnumerator(VoiceTokenStore::TokenList tokens)
      : m_tokens(std::move(tokens)) {}

  HRESULT Next(ULONG count, ISpObjectToken** tokens, ULONG* fetched) override {
    if (tokens == nullptr) return E_POINTER;
    ULONG done = 0;
    while (done < count && m_next < m_tokens->size()) {
      tokens[done++] = new ObjectToken((*m_tokens)[m_next++]);
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }

 private:
  VoiceTokenStore::TokenList m_tokens;
  size_t m_next = 0;
};

class TokenCategory : public RefCounted<ISpObjectTokenCategory> {
 public:
  HRESULT SetId(const wchar_t* categoryId, bool) override {
    if (categoryId == nullptr) return E_POINTER;
    if (!SameText(categoryId, SPCAT_VOICES)) return SPERR_NOT_FOUND;
    m_set = true;
    return S_OK;
  }

  HRESULT EnumTokens(const wchar_t*, const wchar_t*,
                     IEnumSpObjectTokens** tokens) override {
    if (tokens == nullptr) return E_POINTER;
    *tokens = nullptr;
    if (!m_set) return SPERR_UNINITIALIZED;
    *tokens = new TokenEnumerator(InstalledVoiceTokens());
    return S_OK;
  }

 private:
  bool m_set = false;
};

// The user's interface language as espeak-ng names languages: "de_DE" ->
// "de-de".
std::string UserLanguage() {
  const std::vector<std::string> ids = UserInterfaceLocaleIds();
  if (ids.empty()) return std::string();
  std::string language = ids.front();
  for (char& c : language) c = c == '_' ? '-' : static_cast<char>(std::tolower(c));
  return language;
}

std::string PrimaryLanguage(const std::string& language) {
  return language.substr(0, language.find('-'));
}

}  // namespace

VoiceTokenStore& VoiceTokenStore::Real() { return Immortal<InstalledVoiceStore>(); }

VoiceTokenStore::TokenList InstalledVoiceTokens() {
  return Current<VoiceTokenStore>().Tokens();
}

VoiceToken DefaultVoiceToken() {
  const VoiceTokenStore::TokenList list = InstalledVoiceTokens();
  const std::vector<VoiceToken>& tokens = *list;
  if (tokens.empty()) return VoiceToken();
  const std::string user = UserLanguage();
  const std::string wanted[] = {user, PrimaryLanguage(user), "en-us", "en"};
  for (const std::string& language : wanted) {
    if (language.empty()) continue;
    for (const VoiceToken& token : tokens) {
      if (token.language == language) return token;
    }
  }
  return tokens.front();
}

const VoiceToken* TokenData(ISpObjectToken* token) {
  const auto* ours = dynamic_cast<ObjectToken*>(token);
  return ours ? ours->data() : nullptr;
}

HRESULT CreateSpObjectToken(ISpObjectToken** token) {
  if (token == nullptr) return E_POINTER;
  *token = new ObjectToken();
  return S_OK;
}

HRESULT CreateSpObjectTokenCategory(ISpObjectTokenCategory** category) {
  if (category == nullptr) return E_POINTER;
  *category = new TokenCategory();
  return S_OK;
}

}  // namespace platform
