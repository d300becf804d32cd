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

#include "text/ListItem.h"

class CTextStore {
 public:
  using WordMap = std::map<std::wstring, boost::shared_ptr<CWordListItem>>;
  using ScratchMap = std::map<std::wstring, boost::shared_ptr<CScratchListItem>>;

  CTextStore();

  // Appends one piece of game output; returns the number of distinct
  // lower-case words since the last clear.
  int AddText(const std::wstring& text);
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

  std::wstring m_lastWord;
  const std::wstring m_wordEnders;
  const std::wstring m_wordSeparators;
  WordMap m_words;
  ScratchMap m_scratch;
  std::wstring m_text;
  bool m_clearPending = false;
  int32_t m_mode = 0;
  uint32_t m_history = 0;

 private:
  enum class ScratchFile { kNotLoaded, kRead, kMissing, kUnreadable };
  ScratchFile m_scratchFile = ScratchFile::kNotLoaded;
};

#endif  // NARRO_TEXT_TEXT_STORE_H_
