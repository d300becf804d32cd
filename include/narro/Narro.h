// Narro: the speech and accessibility layer for interactive-fiction
// interpreters. This is the one header a host needs.
//
// The library makes its facade when it is loaded into the process and
// destroys it when it is unloaded. A host reaches it with
// CNarro::GetSingleton() or holds a ManagedNARRO for its whole run:
//
//   #include <narro/Narro.h>
//
//   int main() {
//     ManagedNARRO narro;                       // release() at scope end
//     narro.m_facade->InitializeSAPI("", 0, 100);
//     narro.m_facade->AddToBuffer(CTTSString("West of House"));
//     narro.m_facade->Repeat();
//   }
//
// Every call is made on the host's own thread. Text crosses the boundary as
// CTTSString / CTTSWString values or standard strings; the host owns what it
// passes and what it receives.
#ifndef NARRO_NARRO_H_
#define NARRO_NARRO_H_

#include <cstdint>
#include <memory>
#include <string>

#define NARRO_API __attribute__((visibility("default")))

class CSpeechTTS;
class CTextStore;
class CNarroAccess;
class CTTSWString;

// The lists that getList can show.
enum if_list_type : int32_t {
  if_list_games = 0,
  if_list_saves = 1,
  if_list_voices = 2,
  if_list_words = 3,
  if_list_scratch = 4,
};

// A window that owns whatever message the library shows; may be null.
typedef void* NarroWindow;

// Narrow text of the boundary. Widening turns each byte into the wide
// character of the same code; narrowing turns each wide character into one
// byte, 0 for a code above 255.
class NARRO_API CTTSString {
 public:
  CTTSString();
  CTTSString(const CTTSString& other);
  CTTSString(const std::string& text);
  CTTSString(const char* text);  // null gives the empty text
  CTTSString(const CTTSWString& wide);
  ~CTTSString();
  CTTSString& operator=(const CTTSString& other);

  operator const char*() const;
  operator const std::wstring() const;

 private:
  std::string m_text;
};

// Wide text of the boundary, the mirror image of CTTSString.
class NARRO_API CTTSWString {
 public:
  CTTSWString();
  CTTSWString(const CTTSWString& other);
  CTTSWString(const std::wstring& text);
  CTTSWString(const wchar_t* text);  // null gives the empty text
  CTTSWString(const CTTSString& narrow);
  ~CTTSWString();
  CTTSWString& operator=(const CTTSWString& other);

  operator const wchar_t*() const;
  operator const std::string() const;

 private:
  std::wstring m_text;
};

// Finds the one object of T. The constructor registers the new object, the
// destructor clears the registration; copies register nothing.
template <class T>
class MySingleton {
 public:
  // While this runs the object is only a MySingleton, so the sanitizer's
  // type check would reject the cast; the pointer is not used before the
  // T is complete.
  __attribute__((no_sanitize("vptr"))) MySingleton() {
    ms_Singleton = static_cast<T*>(this);
  }
  MySingleton(const MySingleton&) {}
  virtual ~MySingleton() { ms_Singleton = nullptr; }
  MySingleton& operator=(const MySingleton&) { return *this; }

  // Only while an object exists.
  static T& GetSingleton() { return *ms_Singleton; }
  // Null while no object exists.
  static T* GetSingletonPtr() { return ms_Singleton; }

  static T* ms_Singleton;
};

// The library holds the one instance of ms_Singleton for the facade.
class CNarro;
extern template class NARRO_API MySingleton<CNarro>;

// Bits of the flag word that the library itself reads.
enum : uint32_t {
  FLAG_SPEECH = 0x01,         // speak the player's input and list feedback
  FLAG_DIALOG_SPEECH = 0x10,  // the dialogs speak their introduction
};

// The facade: every host call enters the library here.
class NARRO_API CNarro : public MySingleton<CNarro> {
 public:
  CNarro();
  // Copying transfers the engine and the text store from the source.
  CNarro(CNarro& source);
  CNarro& operator=(CNarro& source);
  virtual ~CNarro();

  static CNarro& GetSingleton();

  // Shuts speech down; the facade itself lives until the library unloads.
  void release();

  // Flags.
  void setFlags(uint32_t flags);
  uint32_t getFlags() const;
  uint32_t addFlag(uint32_t bits);
  uint32_t removeFlag(uint32_t bits);  // exclusive or: a clear bit gets set
  void clearFlags();
  bool checkFlags(uint32_t mask) const;

  // Settings.
  void SetMode(int mode);
  int GetMode();
  void SetHistory(int count);
  int GetHistory();
  void SetGame(const char* game);
  void GetGame(CTTSString& game);
  void SetRoot(const char* root);
  void GetRoot(CTTSString& root);

  // Diagnostics.
  void ToLog(const char* text);
  void DebugStr(const char* format, ...)
      __attribute__((format(printf, 2, 3)));

  static std::wstring ASCII_To_UC8(const std::string& narrow);
  static std::string UC8_To_ASCII(const std::wstring& wide);

  // Game output and typed input.
  int AddToBuffer(const CTTSString& text);
  int AddToBuffer(const CTTSWString& text);
  void ClearBuffer();
  void Repeat();
  int MonitorInput(const char* line);
  int MonitorInput(const wchar_t* line);
  int GetLastCommandLength();

  // Speaking.
  void Speak(const std::string& text, int flags);
  void Speak(const std::wstring& text, int flags);
  void SpeakParagraph(const std::wstring& text, int flags);
  void SpeakDir(const std::string& path, int flags);
  static int findandreplace(std::wstring& source, const std::wstring& find,
                            const std::wstring& replacement);

  // Voices.
  bool InitializeSAPI(const std::string& voiceId, long rate, int volume);
  void ChangeVoice(const std::string& voiceName, long rate, int volume);
  void GetVoice(std::string& voiceId, long& rate, int& volume);

  // Games.
  bool GetCRC(const CTTSString& file, CTTSString& crc);
  bool addNewGame(CTTSString& file, CTTSString& name);
  bool OpenUsingShellExecute(char* file, int verb, NarroWindow owner);

  // Dialogs.
  void getList(CTTSWString& result, if_list_type type, const char* gameExts,
               const char* saveExts);
  void getInput(CTTSWString& result, const std::string& prompt,
                bool fileName);
  void getDirectory(CTTSString& result, const std::string& start,
                    const char* title);

  // Version check.
  bool getVersion(int& difference, CTTSString& text);

 private:
  friend class CNarroAccess;

  uint32_t m_flags;
  std::unique_ptr<CSpeechTTS> m_speech;
  std::unique_ptr<CTextStore> m_textStore;
  std::string m_root;
  std::string m_game;
};

// A handle on the facade that existed when it was made. Its destruction
// calls release() but never deletes the facade.
class NARRO_API ManagedNARRO {
 public:
  ManagedNARRO();
  ~ManagedNARRO();
  ManagedNARRO& operator=(const ManagedNARRO& other);

  CNarro* m_facade;
};

#endif  // NARRO_NARRO_H_
