// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/TextStore.h"

#include <boost/make_shared.hpp>
#include <cwctype>

#include "core/AppDirectory.h"
#include "core/SingletonStorage.h"
#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "platform/file/FileSystem.h"
#include "text/Tokenize.h"

template class MySingleton<CTextStore>;

std::string ScratchFilePath() { return GetAppDirectory() + "scratchpad.txt"; }

CTextStore::CTextStore()
    : m_wordEnders(NARRO_WORD_ENDERS), m_wordSeparators(std::wstring(NARRO_WORD_ENDERS) + L":\n") {}

int CTextStore::AddText(const std::wstring& text) {
  if (m_clearPending) {
    m_words.clear();
    m_text = text + L'\n';
  } else {
    m_text += text;
    m_text += L'\n';
  }
  if (m_text.size() > kTextLimit + kTextLimit / 4) {
    // A game that prints for hours between two commands keeps its latest
    // text, from the start of a line.
    size_t cut = m_text.size() - kTextLimit;
    const size_t line = m_text.find(L'\n', cut);
    if (line != std::wstring::npos && line + 1 < m_text.size()) cut = line + 1;
    m_text.erase(0, cut);
  }
  std::wstring lower = text;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  for (const std::wstring& word : Tokenize(lower, m_wordSeparators)) {
    if (m_words.size() >= kWordLimit && m_words.find(word) == m_words.end()) continue;
    m_words[word] = boost::make_shared<CWordListItem>(this);
  }
  m_clearPending = false;
  return static_cast<int>(m_words.size());
}

int CTextStore::AddScratch(const std::wstring& word) {
  m_scratch[word] = boost::make_shared<CScratchListItem>(this);
  return static_cast<int>(m_scratch.size());
}

bool CTextStore::RemoveScratch(const std::wstring& word) {
  if (word.empty()) return false;
  return m_scratch.erase(word) > 0;
}

namespace {
// A list of words; far more than a player types in a lifetime.
constexpr size_t kMaxScratchBytes = 16u << 20;
}  // namespace

bool CTextStore::LoadScratch(const std::string& path) {
  std::string contents;
  const platform::ReadResult result =
      platform::ReadWholeFile(path, kMaxScratchBytes, contents);
  if (result != platform::ReadResult::kRead) {
    m_scratchFile = result == platform::ReadResult::kMissing
                        ? ScratchFile::kMissing
                        : ScratchFile::kUnreadable;
    return false;
  }
  m_scratchFile = ScratchFile::kRead;
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    AddScratch(platform::WideFromBytes(line));
    start = end + 1;
  }
  return true;
}

bool CTextStore::SaveScratch(const std::string& path) const {
  std::string contents;
  for (const auto& entry : m_scratch) {
    contents += platform::BytesFromWide(entry.first);
    contents += "\r\n";
  }
  return platform::Current<platform::FileSystem>().ReplaceFile(path, contents);
}

std::wstring CTextStore::LastWord(const std::wstring& line) const {
  const std::vector<std::wstring> tokens = Tokenize(line, m_wordEnders);
  return tokens.empty() ? std::wstring() : tokens.back();
}
