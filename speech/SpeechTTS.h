// SPDX-License-Identifier: GPL-3.0-or-later
// The one wrapper over the platform voice. Every spoken word of the library
// ends in SpeakToMe, which applies the chosen voice, volume and rate afresh
// before each utterance.
#ifndef NARRO_SPEECH_SPEECH_TTS_H_
#define NARRO_SPEECH_SPEECH_TTS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "narro/Narro.h"
#include "platform/sapi/Sapi.h"

// One installed voice: its display name and its token identifier.
struct VoiceEntry {
  std::string name;
  std::string id;
};

class CSpeechTTS;
extern template class MySingleton<CSpeechTTS>;

class CSpeechTTS : public MySingleton<CSpeechTTS> {
 public:
  CSpeechTTS();
  ~CSpeechTTS() override;

  CSpeechTTS(const CSpeechTTS&) = delete;
  CSpeechTTS& operator=(const CSpeechTTS&) = delete;

  // Creates the voice; shows the "Text to speech failed to initialize" box
  // when there is no voice. The voices are listed only when first asked
  // for: listing a shared speech server's voices holds up its other clients.
  void InitSAPI();

  // The installed voices, listed at the first call after InitSAPI; empty
  // before it.
  const std::vector<VoiceEntry>& Voices();

  // Always 0. Throws CMyException when the platform fails while speaking.
  int SpeakToMe(const std::wstring& text, int flags);
  // Decodes text as the locale's multibyte text first.
  int SpeakToMe(const std::string& text, int flags);

  // Silences the voice at once; valid in every state.
  static void StopSpeaking();
  // Shuts the voice and COM down; only the first call after InitSAPI acts.
  static void ReleaseSAPI();

  // Appends one entry per voice token of the category.
  static platform::HRESULT EnumerateVoices(std::vector<VoiceEntry>& list,
                                           const wchar_t* category);
  // The user's interface language, never 0.
  static platform::LANGID GetUserUILanguage();
  // Upper-case hexadecimal digits, no leading zeros: 0x0409 gives 409.
  static std::wstring HexFromLangId(unsigned int langId);

  // Makes the voice (InitSAPI) to speak with voiceId (empty: the
  // platform's default), rate and volume. True when there is a voice.
  bool Start(const std::string& voiceId, long rate, int volume);
  bool Initialized() const { return m_initialized; }

  // The installed voice whose display name is name becomes the voice, and
  // rate and volume stay; with no such voice, rate and volume change and
  // the voice stays.
  void ChooseVoiceNamed(const std::string& name, long rate, int volume);
  // Token identifier of the voice; empty: the platform's default.
  const std::string& VoiceId() const { return m_voiceId; }
  void SetVoiceId(const std::string& id) { m_voiceId = id; }
  void SetRate(int32_t rate) { m_rate = rate; }
  void GetSettings(std::string& voiceId, long& rate, int& volume) const;

  // The platform voice every engine speaks with; null before InitSAPI and
  // after ReleaseSAPI.
  static platform::ISpVoice* PlatformVoice() { return ms_pVoice; }
  // Puts voice in the platform voice's place and returns the one it
  // replaced, so that a test or benchmark can watch what would be said
  // and put the real one back.
  static platform::ISpVoice* ReplacePlatformVoice(platform::ISpVoice* voice);

 private:
  void SpeakWithCurrentVoice(const std::wstring& text, int flags);

  std::vector<VoiceEntry> m_voices;  // see Voices()
  bool m_voicesListed = false;
  std::string m_voiceId;  // empty: the platform's default voice
  int32_t m_rate = 0;
  int32_t m_volume = 0;
  bool m_initialized = false;

  static platform::ISpVoice* ms_pVoice;
};

#endif  // NARRO_SPEECH_SPEECH_TTS_H_
