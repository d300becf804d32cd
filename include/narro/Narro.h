// SPDX-License-Identifier: GPL-3.0-or-later
// Narro: the speech and accessibility layer for interactive-fiction
// interpreters. This is the one header a host needs (plus
// <narro/VersionInfo.h> for getVersion).
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
// ---------------------------------------------------------------------------
// Lifetime
//   Load:   the facade is made, its flag word is 17, the scratch list is
//           read from scratchpad.txt, GetRoot() is the data folder.
//   InitializeSAPI, once: the voice starts; from then on text is heard.
//   release(), directly or by a ManagedNARRO going out of scope: speech is
//           shut down for the rest of the process; everything else keeps
//           working. Call it once, before the host exits.
//   Unload: the scratch list is written to scratchpad.txt, the facade is
//           destroyed.
//
// Threads
//   Call the library from one thread at a time, normally the host's
//   user-interface thread; nothing in it is locked against concurrent calls.
//   Speech plays on one audio thread that InitializeSAPI starts and release()
//   ends; it never calls into the host.
//
// Blocking
//   Returns at once: settings, flags, buffer, MonitorInput, and speech with
//   speak flag 0x01. Blocks: speech without 0x01 (until heard),
//   InitializeSAPI (until the voice has started or failed), release (until
//   the audio thread has stopped; the current sound is cut off), GetCRC,
//   findGame, getSaveFile and addNewGame (file reading; addNewGame also
//   waits up to 10 s for its lock), the dialogs, getSaves and getGames among them (until
//   the player closes them), getVersion (up to 30 s).
//   Any call that writes a log line (most do) waits at most 250 ms for a
//   stalled debug-output listener; the lines of the next second are then
//   dropped without waiting.
//
// Exceptions
//   getInput, getDirectory and getVersion have no guard: an exception raised
//   inside them (by the speech engine, say, or std::bad_alloc) reaches the
//   host. Wrap them in try/catch.
//   Every other operation throws nothing of its own: failures are logged and
//   reported by the result, or absorbed. MonitorInput, Speak, release,
//   getList, getSaves, getGames, addNewGame, findGame and getSaveFile catch
//   everything.
//   The rest, like any C++ code that allocates, can still let std::bad_alloc
//   through when memory runs out, and InitializeSAPI std::system_error when
//   the system refuses it its audio thread.
//
// Calls that need InitializeSAPI first
//   Speak, SpeakParagraph, SpeakDir, Repeat, the spoken echo of
//   MonitorInput, ChangeVoice, GetVoice and the voices list of getList. Before
//   it, after a failed one and after release() they are silent or do nothing,
//   and return normally. Every other call works without it; the dialogs then
//   work silently.
//
// Speak flags: the flags argument of Speak and SpeakDir (the SPF bits of
// SAPI 5):
//   0x01  asynchronous: queue the text and return at once. Clear: the call
//         returns only when the text has been heard.
//   0x02  purge: drop what is being said and queued first. Speak("", 2)
//         silences.
//   0x04  the text names a file: not supported; the request is ignored
//         (nothing spoken, nothing purged).
//   0x08  the text is SSML markup.
//   0x10  inverted: the library flips this bit before the voice sees it, so
//         that a host passing 0 gets plain text. Passing 0x10 lets the voice
//         decide: markup when the text starts with '<'.
//   SSML therefore takes 0x18; 0x08 alone reaches the voice as "markup and
//   not markup" and is ignored like 0x04. Other bits are ignored.
//   Common values, named below (SPEAK_*): 3 cut off and speak now, 1 queue
//   behind, 0 speak and wait, 2 with empty text silence.
//
// Text
//   CTTSString / CTTSWString and the standard strings cross the boundary by
//   value; the host owns what it passes and what it receives. The narrow
//   forms of AddToBuffer and MonitorInput and the two string classes widen
//   byte by byte (byte b is character b) and narrow back the same way; no
//   encoding is decoded. The narrow Speak and SpeakDir differ: they decode
//   text in the locale's multibyte encoding (LC_CTYPE, as the host's
//   setlocale() left it; a byte that does not decode stands for the character
//   of the same code). Spoken text is also written to the log.
//
// Data files, in the data folder, which ends in '/' and is:
//   1. $NARRO_DATA_DIR, when it is set and not empty;
//   2. the folder of the running executable (the host's, not the library's)
//      when that executable lies in the build tree the library was built in
//      (tests, and programs run from the build without installing);
//   3. otherwise, for an installed host or any host outside that build
//      tree: $XDG_DATA_HOME/narro/, or $HOME/.local/share/narro/ when
//      XDG_DATA_HOME is unset, empty or not an absolute path. It is made
//      (mode 0700, missing parents too) when missing; a failure is logged
//      and the path used all the same, so that each file operation fails
//      and is reported on its own. HOME unset: the password database's
//      home folder; with no home folder at all, as 2.
// The variables are read at each use: set them in the environment the host
// starts with, not after the library has loaded. GetRoot starts as this
// folder; getDataFolder gives it.
//   scratchpad.txt         the scratch list, one word per line (CR LF).
//                          Read at load, written at unload; a file that
//                          could not be read is never written back.
//   User_Fingerprints.xml  the player's game database; written by addNewGame
//                          under the lock file User_Fingerprints.xml.lock.
//   filecache.txt          CRCs of story files already read by a game scan.
//   saves/                 saved games that could not go beside their story
//                          (getSaveFile); made, mode 0700, when first needed.
//   fingerprints.xml       the shipped game database; only read. The data
//                          folder's own, when there is one there; else, for
//                          a host outside the build tree (NARRO_DATA_DIR set
//                          or not), the installation's
//                          share/narro/fingerprints.xml, looked for beside
//                          the executable's folder (bin/../share/narro),
//                          beside the library's (lib/../share/narro), then
//                          in the data folder configured at build time. The
//                          demo stories it names are installed beside it.
//   A file is replaced whole (written beside it, then renamed over it), so a
//   crash never leaves half a file. None is replaced that is not a regular
//   file or whose permission bits forbid writing; scratchpad.txt and
//   User_Fingerprints.xml are not replaced either when they exist but could
//   not be read (not readable, too large). A symbolic link's target is
//   replaced and the link stays.
//
// Environment: NARRO_DATA_DIR, XDG_DATA_HOME and HOME (above); NARRO_LOG, a
// copy of every log line ("stderr" or a file path, appended to);
// NARRO_SPEECH, where speech goes ("audio", the default: the sound card;
// "wav:DIR", WAV files in DIR; "none", no voice); NARRO_VERSION_SERVER, the
// base URL getVersion asks. The log itself goes to this user's debug-output
// channel, where a listener shows it; with no listener it is dropped.
// ---------------------------------------------------------------------------
#ifndef NARRO_NARRO_H_
#define NARRO_NARRO_H_

#include <cstdint>
#include <memory>
#include <string>

#define NARRO_API __attribute__((visibility("default")))

class CSpeechTTS;
class CTextStore;
class CTTSWString;

// The lists that getList can show.
enum if_list_type : int32_t {
  if_list_games = 0,    // supported games under a folder the player picks
  if_list_saves = 1,    // saved games of those games under a picked folder
  if_list_voices = 2,   // installed voices (needs InitializeSAPI)
  if_list_words = 3,    // words of the game output since the last clear
  if_list_scratch = 4,  // the player's scratch list
};

// A window that owns whatever message the library shows. Unused on Linux:
// the library shows no message owned by a host window; pass null.
typedef void* NarroWindow;

// Narrow text of the boundary. Widening turns each byte into the wide
// character of the same code; narrowing turns each wide character into one
// byte, 0 for a code above 255 (kept as an embedded zero byte). Both keep
// the whole length, embedded zeros included. Never throws except
// std::bad_alloc.
class NARRO_API CTTSString {
 public:
  CTTSString();
  CTTSString(const CTTSString& other);
  CTTSString(const std::string& text);
  CTTSString(const char* text);  // null gives the empty text
  CTTSString(const CTTSWString& wide);
  ~CTTSString();
  CTTSString& operator=(const CTTSString& other);

  // The pointer stays valid while this object lives and is not assigned to.
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

  // The pointer stays valid while this object lives and is not assigned to.
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

  // Only while an object exists: for the facade, from library load to
  // unload. Calling it at any other time is undefined.
  static T& GetSingleton() { return *ms_Singleton; }
  // Null while no object exists: before load, after unload, or when the
  // facade could not be made at load (that failure is only logged).
  static T* GetSingletonPtr() { return ms_Singleton; }

  static T* ms_Singleton;
};

// The library holds the one instance of ms_Singleton for the facade.
class CNarro;
extern template class NARRO_API MySingleton<CNarro>;

// The speak flags by name, their values as above: what a host means when
// it speaks, as espeak-ng names its modes.
enum : int {
  SPEAK_AND_WAIT = 0,      // speak and return once heard
  SPEAK_QUEUED = 0x01,     // queue behind what is being said; return at once
  SPEAK_PURGE = 0x02,      // drop what is being said and queued first
  SPEAK_SILENCE = SPEAK_PURGE,                // with empty text: silence
  SPEAK_CUT_OFF = SPEAK_QUEUED | SPEAK_PURGE,  // drop the rest, speak this now
  SPEAK_MARKUP = 0x18,     // the text is SSML
};

// The characters that end a typed word: MonitorInput echoes the word one
// of them ends.
constexpr wchar_t NARRO_WORD_ENDERS[] = L" ,.?";

// Bits of the flag word (setFlags and the others) that the library itself
// reads; every other bit is the host's to use. Both are set at load (17).
// With both set, the dialogs also speak their confirmations and headings
// and getDirectory speaks its prompt.
enum : uint32_t {
  FLAG_SPEECH = 0x01,         // speak the player's input and list feedback
  FLAG_DIALOG_SPEECH = 0x10,  // the dialogs speak their introduction
};

// The facade: every host call enters the library here. Unless a comment
// says otherwise, an operation needs no InitializeSAPI, returns at once and
// throws nothing (see Exceptions at the top of this file).
class NARRO_API CNarro : public MySingleton<CNarro> {
 public:
  // Made by the library at load; a host never constructs one.
  CNarro();
  // A host does not copy the facade. Copying moves the engine and the text
  // store out of the source (whose buffer and speech calls then do nothing
  // and return 0), and destroying the copy writes scratchpad.txt, shuts
  // speech down and makes GetSingletonPtr() null.
  CNarro(CNarro& source);
  CNarro& operator=(CNarro& source);
  // Run at unload: writes the scratch list, shuts speech down. Never throws.
  virtual ~CNarro();

  // The facade made at load; see MySingleton::GetSingleton.
  static CNarro& GetSingleton();

  // Stops and discards all speech and shuts the voice down for the rest of
  // the process: a later InitializeSAPI returns false and every speak call
  // is silent. Buffer, settings and dialogs keep working. A second call only
  // logs. Waits for the audio thread to end. Never throws.
  void release();

  // Flags. The flag word is 17 (FLAG_SPEECH | FLAG_DIALOG_SPEECH) at load.
  void setFlags(uint32_t flags);
  uint32_t getFlags() const;
  // Sets bits; returns the new flag word.
  uint32_t addFlag(uint32_t bits);
  uint32_t removeFlag(uint32_t bits);  // exclusive or: a clear bit gets set
  void clearFlags();
  // True when every bit of mask is set; a mask of 0 is always true.
  bool checkFlags(uint32_t mask) const;

  // Settings.
  // A value the library stores, logs ("Mode Change n") and resets to 0 at
  // every MonitorInput that is not skipped; its meaning is the host's.
  void SetMode(int mode);
  int GetMode();
  // The number of coming MonitorInput calls to ignore; each ignored call
  // lowers it by one. Read as unsigned: -1 ignores the next 4294967295.
  void SetHistory(int count);
  int GetHistory();
  // A text the library keeps for the host and does not use. Empty at load;
  // null sets the empty text.
  void SetGame(const char* game);
  void GetGame(CTTSString& game);
  // The folder where the games and saved-games lists start. The data folder
  // at load; null sets the empty text, which the games list replaces by the
  // data folder.
  void SetRoot(const char* root);
  void GetRoot(CTTSString& root);
  // The data folder, ending in '/', decided as "Data files" at the top of
  // this file says, at this call (it is made when that rule makes it; a
  // failure to make it is logged and the path given all the same). A host
  // keeps files of its own for the player there.
  void getDataFolder(CTTSString& folder);

  // Diagnostics. Lines go to the debug-output channel (and NARRO_LOG).
  // Writes text as one line, unchanged ("%" is not a format); null writes
  // an empty line.
  void ToLog(const char* text);
  // Formats as printf does, cut at 1023 bytes, and writes two lines:
  // "Narro::" followed by the text, then the text alone.
  void DebugStr(const char* format, ...)
      __attribute__((format(printf, 2, 3)));

  // The boundary's byte-for-character conversions (see CTTSString).
  static std::wstring ASCII_To_UC8(const std::string& narrow);
  static std::string UC8_To_ASCII(const std::wstring& wide);

  // Game output and typed input.
  // Appends one piece of game output, followed by a line feed, to the
  // printed text, and its lower-cased words (split at space , . ? : and line
  // feed) to the word history. The text is read up to its first zero
  // character; the narrow form widens byte by byte. Returns the number of
  // distinct words since the last clear. Cannot fail.
  int AddToBuffer(const CTTSString& text);
  int AddToBuffer(const CTTSWString& text);
  // The next AddToBuffer replaces the printed text and empties the word
  // history; until then both keep their old content.
  void ClearBuffer();
  // Speaks the whole printed text again with speak flags 3. Needs
  // InitializeSAPI (silent before).
  void Repeat();
  // The line typed so far. When it ends in space, comma, full stop or
  // question mark, its last word is remembered and, with FLAG_SPEECH set
  // and InitializeSAPI done, spoken with speak flags 3. Returns the length
  // of the remembered word (of an earlier line when this one does not end a
  // word), or 0 when the call was skipped by the history count. Null reads
  // as the empty line; the narrow form widens byte by byte. Never throws.
  int MonitorInput(const char* line);
  int MonitorInput(const wchar_t* line);
  // The length of the last remembered word; 0 at load.
  int GetLastCommandLength();

  // Speaking. All need InitializeSAPI: before it and after release() they
  // are silent. flags are the speak flags (top of this file).
  // Speaks text. Returns at once with flag 0x01, else when it has been
  // heard. A speech failure is logged, never thrown.
  void Speak(const std::string& text, int flags);
  void Speak(const std::wstring& text, int flags);
  // Queues every non-empty line of text (split at line feeds) as its own
  // utterance with speak flags 1; flags is not used, so a paragraph never
  // cuts off speech in progress.
  void SpeakParagraph(const std::wstring& text, int flags);
  // Speaks "Current Directory is: " followed by each '/'-separated part of
  // path and ", ".
  void SpeakDir(const std::string& path, int flags);
  // Replaces every occurrence of find in source, left to right, without
  // overlap; replaced text is not searched again. Returns the number of
  // replacements; 0, and source unchanged, when source or find is empty.
  static int findandreplace(std::wstring& source, const std::wstring& find,
                            const std::wstring& replacement);

  // Voices.
  // Starts speech. voiceId: a token id as GetVoice returns it
  // ("HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Speech\Voices\Tokens\" and an
  // espeak-ng voice identifier); empty or unknown selects the default
  // voice. rate: -10..10; 0 is 175 words a minute, 10 three times as fast,
  // -10 80 words a minute. volume: 0..100. Both are stored as given; when
  // speaking, rate is held to -10..10 and volume's low 16 bits to at most
  // 100. Returns true when a voice is ready.
  // On failure: false. A second call (also after release()) changes
  // nothing. When no voice can be made (NARRO_SPEECH=none, no espeak-ng
  // data, no audio device) the line "getDefaultVoice: Text to speech failed
  // to initialize" goes to standard error and speech stays silent for the
  // rest of the process; the call cannot be retried.
  // Blocks until the voice has started or failed. Throws nothing of its own
  // (see Exceptions at the top).
  bool InitializeSAPI(const std::string& voiceId, long rate, int volume);
  // voiceName is a display name as the voices list shows it, compared
  // exactly. The first voice of that name becomes the voice, and rate and
  // volume are left as they are; when no voice has that name, rate and
  // volume are set and the voice stays. Takes effect at the next utterance.
  // Needs InitializeSAPI: before it, nothing changes.
  void ChangeVoice(const std::string& voiceName, long rate, int volume);
  // Copies out the current voice token id, rate and volume, to keep in the
  // host's settings and pass to InitializeSAPI next time. Needs
  // InitializeSAPI: before it, the outputs are left as they are.
  void GetVoice(std::string& voiceId, long& rate, int& volume);

  // Games. The facade's own state is not used.
  // The CRC-32 (IEEE 802.3, as zlib computes it) of the whole file, as 8
  // upper-case hexadecimal digits; an empty file gives "00000000". False,
  // and crc unchanged, when file is not a regular file this process may
  // read, or could not be read to its end. Blocks while reading the file.
  bool GetCRC(const CTTSString& file, CTTSString& crc);
  // Adds the story file to User_Fingerprints.xml under name (blanks trimmed
  // at both ends), or, when its CRC is there already, records file as its
  // path and renames it (unless name is "unknown"). Neither argument is
  // changed. Returns true when the database was written.
  // On failure: false, and the database is not replaced: the lock file
  // User_Fingerprints.xml.lock was not had within 10 s (another addNewGame,
  // in any process, holds it), the database exists but cannot be read (not
  // a regular file, not readable, larger than 64 MiB), file cannot be read,
  // or the new database could not be written. A database that was read but
  // does not parse (or has no "games" element) is first moved aside to
  // User_Fingerprints.xml.broken (then .broken-2 and so on); false when it
  // cannot be moved.
  // Blocks while reading file and waiting for the lock. Never throws.
  bool addNewGame(CTTSString& file, CTTSString& name);
  // Whether a fingerprint database knows the story file: fingerprints.xml
  // and User_Fingerprints.xml, found and read as the games list finds them
  // (a game in both has the shipped name), matched by the file's CRC. True
  // with name set to the game's FullName.
  // On failure: false, name unchanged: no database knows the file, or it is
  // not a regular file this process may read (a folder, a pipe, a device,
  // a missing file), or could not be read to its end. A link is followed.
  // Blocks while reading the file and the databases. Never throws.
  bool findGame(const CTTSString& file, CTTSString& name);
  // Where a host saves a game of story so that getSaves and the saved-games
  // list find it: FOLDER + name + "_%" + CRC + "%_" + extension. FOLDER is
  // the story's own folder, as story names it (a link's folder, not its
  // target's; a relative path is made absolute against the working folder)
  // when this process may make files there (its permission bits allow it,
  // read as for an ordinary user even when running as root); else the data
  // folder's "saves/", made (mode 0700) when missing. name is the player's
  // name for the save: blanks and control characters are trimmed at both
  // ends; inside, '/', control characters and a '%' right after a '_'
  // become '_' (so that ".." or "a/b" name no other folder, and the CRC tag
  // stays the last). extension comes with its dot (".glksave"). The file
  // itself is neither made nor looked at: whether to replace an existing
  // save is the host's question.
  // On failure: false, path unchanged: name is empty after trimming;
  // extension is null, not a dot and at least one more character, or holds
  // '/', '%' or a control character; story is not a regular file this
  // process may read; no folder can be written (saves/ cannot be made or
  // written); the file name would exceed 255 bytes.
  // Blocks while reading story. Never throws.
  bool getSaveFile(const CTTSString& story, const CTTSString& name,
                   const char* extension, CTTSString& path);
  // Hands file to a program, started directly (never through a shell) and
  // not waited for. verb 0 "open" and any value other than 1 and 2: xdg-open;
  // 1 "edit": $VISUAL, else $EDITOR (split at blanks into the program and
  // its options); 2 "print": lp. file is not changed; owner is not used.
  // Returns true when the program was started (whether it then succeeds is
  // not known). On failure: false when file is null or names nothing, no
  // program does the verb (no $VISUAL or $EDITOR for edit, no lp for print,
  // no xdg-open), or the program could not be started. Never blocks.
  bool OpenUsingShellExecute(char* file, int verb, NarroWindow owner);

  // Dialogs. Each is modal: it blocks until the player closes it. They
  // speak only after InitializeSAPI; FLAG_DIALOG_SPEECH makes them speak
  // their introduction, FLAG_SPEECH | FLAG_DIALOG_SPEECH also their
  // confirmations and headings.
  // Shows one spoken list and sets result to the player's choice:
  //   if_list_games    the full path of the chosen game file; the player
  //                    first picks the folder to scan (starting at GetRoot).
  //   if_list_saves    the full path of the chosen saved game, likewise.
  //   if_list_voices   the chosen voice's name, which becomes the voice; on
  //                    Escape the token id of the voice in use. Needs
  //                    InitializeSAPI: the empty result before it.
  //   if_list_words, if_list_scratch   the chosen word.
  // gameExts and saveExts are comma-separated file-name endings, compared
  // case-sensitively with the end of each name (".z5,.z8"); they are read
  // only for the games and saved-games lists. result is always set: the
  // empty result on Escape (but see the voices list), for a cancelled
  // folder choice, for any other type, and when no dialog can be shown (no
  // terminal). Never throws: a failure is logged and gives the empty result.
  void getList(CTTSWString& result, if_list_type type, const char* gameExts,
               const char* saveExts);
  // The spoken saved-games list of one story, without asking for a folder:
  // every save tied to story (by the CRC tag in its name and the serial in
  // its header, as the saved-games list ties them) in the places
  // getSaveFile chooses: the story's own folder (as getSaveFile finds it)
  // and the data folder's "saves/", each with its subfolders, as the
  // saved-games list walks a folder. A story no database knows is tied to
  // its saves all the same. Each entry is the save's name (the part before
  // its CRC tag); Delete deletes a save after a Yes, as in the saved-games
  // list, but the question names the save ("Delete the saved game river? Y
  // or N"), Escape answers No, and No is said ("Not deleted."). The entry
  // under the cursor is said when the list opens, queued behind the
  // introduction, and Enter chooses only an entry heard since: an Enter
  // that comes first says it, and the next Enter chooses it.
  // saveExts as in getList.
  // result is always set: the chosen save's full path; the empty result on
  // Escape; when no save exists (the list then opens empty, announced as
  // holding 0 entries, and "Found [0] saves." is logged, as the saved-games
  // list does); when story cannot be read (logged, and the list opens
  // empty as well; no folder is walked); and when no dialog can be shown
  // (no terminal). Blocks until the player closes the list; walking a large
  // story folder takes time. Never throws: a failure is logged and gives
  // the empty result.
  void getSaves(CTTSWString& result, const CTTSString& story, const char* saveExts);
  // The spoken games list of one folder, without asking for it: the games
  // the games list would find under folder (gameExts and saveExts as in
  // getList). Each entry is a game's name. The list opens as getSaves
  // opens its own: the entry under the cursor said, Enter choosing only an
  // entry heard.
  // A game with a warning asks as the games list does; Retry shows this
  // folder's list again.
  // result is always set: the chosen game's full path; the empty result on
  // Escape, on Abort, when folder holds no game (the list then opens
  // empty), and when no dialog can be shown (no terminal). Blocks until
  // the player closes the list; walking a large folder takes time. Never
  // throws: a failure is logged and gives the empty result.
  void getGames(CTTSWString& result, const CTTSString& folder, const char* gameExts,
                const char* saveExts);
  // A one-line spoken text input titled prompt; result is the typed text.
  // With fileName set, "&" becomes " and " and each of . - ( ) , \ / becomes
  // "_". The empty result on Escape or Cancel, and when no dialog can be
  // shown (no terminal). May throw: not guarded.
  void getInput(CTTSWString& result, const std::string& prompt,
                bool fileName);
  // A folder chooser starting at start, titled title; result is the chosen
  // folder's full path. The empty result on Escape, and when no dialog can
  // be shown (no terminal). May throw: not guarded.
  void getDirectory(CTTSString& result, const std::string& start,
                    const char* title);
  // Makes the dialog or box that waits for a key on the terminal give up
  // as at Ctrl-C (its empty or Cancel result), and the next one too if
  // none waits now: the host was asked to stop (SIGTERM, a closed
  // terminal) while a dialog held the terminal. Safe in a signal handler;
  // the dialog sees it within a tenth of a second.
  static void InterruptDialog();

  // Version check. Asks the version-check server ($NARRO_VERSION_SERVER,
  // else the one the library was built with) about the host program, by the
  // ProductName and FileVersion that the host's executable carries (written
  // with NARRO_VERSION_INFO of <narro/VersionInfo.h>). The server answers
  // five comma-separated fields: one of its own, then the four parts of the
  // latest version ("ok,1,2,0,6").
  // Returns true with difference = the server's version less the host's
  // (each read as its four parts' digits written one after the other:
  // 1.2.10.3 is 12103; positive means a newer version exists) and text =
  // "ProductName: a.b.c.d", the server's version.
  // On failure: false. With no reply (no network, no such server, an HTTP
  // error status, a reply over 1 MiB, a time-out) both outputs are left as
  // they are. When a reply came but is not five fields whose last four are
  // digits, or the host has no four-part FileVersion of digits, or a number
  // does not fit an int, text holds the raw reply and difference is left as
  // it is.
  // Blocks up to 10 s to connect and 30 s in all. May throw: not guarded.
  bool getVersion(int& difference, CTTSString& text);

 private:

  uint32_t m_flags;
  std::unique_ptr<CSpeechTTS> m_speech;
  std::unique_ptr<CTextStore> m_textStore;
  std::string m_root;
  std::string m_game;
};

// A handle on the facade that existed when it was made (null when there
// was none). Its destruction calls release(), which ends speech for the
// rest of the process, but never deletes the facade: keep one handle for
// the whole run rather than making short-lived ones.
class NARRO_API ManagedNARRO {
 public:
  ManagedNARRO();
  ~ManagedNARRO();
  ManagedNARRO& operator=(const ManagedNARRO& other);

  CNarro* m_facade;
};

#endif  // NARRO_NARRO_H_
