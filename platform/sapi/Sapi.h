// SPDX-License-Identifier: GPL-3.0-or-later
// The speech objects the engine talks to, in the shape of SAPI 5: a voice
// with reference counts and SPF flags, object tokens for the installed
// voices, and the voices category. espeak-ng makes the sound.
//
// Strings handed out by GetId and GetStringValue belong to the caller, who
// frees them with CoTaskMemFree.
#ifndef NARRO_PLATFORM_SAPI_SAPI_H_
#define NARRO_PLATFORM_SAPI_SAPI_H_

#include <cstdint>

namespace platform {

using HRESULT = int32_t;
using ULONG = uint32_t;
using LANGID = uint16_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT SPERR_UNINITIALIZED = static_cast<HRESULT>(0x80045001);
constexpr HRESULT SPERR_NO_MORE_ITEMS = static_cast<HRESULT>(0x80045039);
constexpr HRESULT SPERR_NOT_FOUND = static_cast<HRESULT>(0x8004503A);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

enum SPEAKFLAGS : uint32_t {
  SPF_DEFAULT = 0,
  SPF_ASYNC = 1,
  SPF_PURGEBEFORESPEAK = 2,
  SPF_IS_FILENAME = 4,
  SPF_IS_XML = 8,
  SPF_IS_NOT_XML = 16,
};

// The voices category.
constexpr const wchar_t* SPCAT_VOICES =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";

class IUnknown {
 public:
  // Both return the new reference count.
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class ISpObjectToken : public IUnknown {
 public:
  // Succeeds only for the identifier of an installed token.
  virtual HRESULT SetId(const wchar_t* categoryId, const wchar_t* tokenId,
                        bool createIfNotExist) = 0;
  virtual HRESULT GetId(wchar_t** id) = 0;
  // A null or empty name reads the default value. SPERR_NOT_FOUND when the
  // token has no such value.
  virtual HRESULT GetStringValue(const wchar_t* valueName, wchar_t** value) = 0;
};

class IEnumSpObjectTokens : public IUnknown {
 public:
  // S_OK while tokens come, S_FALSE when they are exhausted.
  virtual HRESULT Next(ULONG count, ISpObjectToken** tokens,
                       ULONG* fetched) = 0;
};

class ISpObjectTokenCategory : public IUnknown {
 public:
  virtual HRESULT SetId(const wchar_t* categoryId, bool createIfNotExist) = 0;
  virtual HRESULT EnumTokens(const wchar_t* requiredAttributes,
                             const wchar_t* optionalAttributes,
                             IEnumSpObjectTokens** tokens) = 0;
};

class ISpVoice : public IUnknown {
 public:
  // Null text with SPF_PURGEBEFORESPEAK silences.
  virtual HRESULT Speak(const wchar_t* text, uint32_t flags,
                        ULONG* streamNumber) = 0;
  // Null selects the default voice.
  virtual HRESULT SetVoice(ISpObjectToken* token) = 0;
  virtual HRESULT SetRate(long rate) = 0;        // -10 .. 10
  virtual HRESULT SetVolume(uint16_t volume) = 0;  // 0 .. 100
};

// COM's start and end: counted, nothing else to do here.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
void CoTaskMemFree(void* memory);

// CoCreateInstance of SpVoice, SpObjectToken and SpObjectTokenCategory.
HRESULT CreateSpVoice(ISpVoice** voice);
HRESULT CreateSpObjectToken(ISpObjectToken** token);
HRESULT CreateSpObjectTokenCategory(ISpObjectTokenCategory** category);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SAPI_H_
