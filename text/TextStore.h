// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's text store: what the game printed since the last clear, the
// distinct words of that output, the player's scratch list, and the state of
// input monitoring.
#ifndef NARRO_TEXT_TEXT_STORE_H_
#define NARRO_TEXT_TEXT_STORE_H_

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <map>
#include <string>

#include "narro/Narro.h"
#include "text/ListItem.h"

// Where the scratch list is kept: "scratchpad.txt" in the data folder.
std::string ScratchFilePath();

class CTextStore;
extern template class MySingleton<CTextStore>;

// The facade's store is the registered one, so that a tool or test can
// look at what the library holds without reaching into the facade.
class CTextStore : public MySingleton<CTextStore> {
 public:
  using WordMap = std::map<std::wstring, boost::shared_ptr<CWordListItem>>;
  using ScratchMap = std::map<std::wstring, boost::shared_ptr<CScratchListItem>>;

  CTextStore();
  CTextStore(const CTextStore&) = delete;
  CTextStore& operator=(const CTextStore&) = delete;

  // Appends one piece of game output; returns the number of distinct
  // lower-case words since the last clear. What is kept between two clears
  // is bounded: the latest kTextLimit characters of text (a quarter more
  // before it is trimmed), and the first kWordLimit distinct words (far
  // more than any game's vocabulary).
  int AddText(const std::wstring& text);
  static constexpr size_t kTextLimit = 1u << 20;
  static constexpr size_t kWordLimit = 50000;
  // The next AddText replaces the text and the word history.
  void RequestClear() { m_clearPending = true; }

  // Returns the number of words on the scratch list afterwards.
  int AddScratch(const std::wstring& word);
  bool RemoveScratch(const std::wstring& word);

  // "scratchpad.txt": one word per line, CR LF written, LF or CR LF read.
  // False when the file could not be read: missing, not a regular file,
  // not readable, or larger than 16 MiB (read as nothing, never in part).
  bool LoadScratch(const std::string& path);
  // Replaces the file whole, or leaves the old one as it was (see
  // platform::FileSystem::ReplaceFile for the files never replaced).
  bool SaveScratch(const std::string& path) const;
  // Whether the list may be written back over the file it was loaded from:
  // only when that file was read, or did not exist. A file that was there
  // but could not be read (another user's, a pipe, too large) would
  // otherwise be replaced by a list that never held its words.
  bool MaySaveScratch() const { return m_scratchFile != ScratchFile::kUnreadable; }

  // The last token of the line at the word enders, or empty.
  std::wstring LastWord(const std::wstring& line) const;
  bool IsWordEnder(wchar_t ch) const {
    return m_wordEnders.find(ch) != std::wstring::npos;
  }
  // The word the player completed last, kept for GetLastCommandLength.
  const std::wstring& LastTypedWord() const { return m_lastWord; }
  // Keeps the line's last word as the one completed last and returns it.
  const std::wstring& NoteLastWord(const std::wstring& line) {
    m_lastWord = LastWord(line);
    return m_lastWord;
  }

  // What the game printed since the last clear, each piece ending in LF.
  const std::wstring& Text() const { return m_text; }
  // The distinct lower-case words of that text.
  const WordMap& Words() const { return m_words; }
  const ScratchMap& Scratch() const { return m_scratch; }

  int32_t Mode() const { return m_mode; }
  void SetMode(int32_t mode) { m_mode = mode; }
  // How many more input lines are history being replayed: each is passed
  // over by the typing echo instead of spoken.
  uint32_t History() const { return m_history; }
  void SetHistory(uint32_t count) { m_history = count; }
  // True, counting it off, when the line is one of those history lines.
  bool PassOverHistoryLine() {
    if (m_history == 0) return false;
    --m_history;
    return true;
  }

 private:
  enum class ScratchFile { kNotLoaded, kRead, kMissing, kUnreadable };

  std::wstring m_lastWord;
  const std::wstring m_wordEnders;
  const std::wstring m_wordSeparators;
  WordMap m_words;
  ScratchMap m_scratch;
  std::wstring m_text;
  bool m_clearPending = false;
  int32_t m_mode = 0;
  uint32_t m_history = 0;
  ScratchFile m_scratchFile = ScratchFile::kNotLoaded;
};

#endif  // NARRO_TEXT_TEXT_STORE_H_
