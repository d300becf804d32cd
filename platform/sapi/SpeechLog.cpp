// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Immortal.h"
#include "platform/sapi/SpeechLog.h"

#include <fstream>
#include <map>
#include <mutex>

#include "platform/locale/TextEncoding.h"

namespace platform {

namespace {

struct LogState {
  std::mutex lock;
  std::map<std::string, uint64_t> linesByDirectory;
};

// Never destroyed: speech may still be shut down while the process exits.
LogState& State() { return Immortal<LogState>(); }

uint64_t CountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint64_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

std::string Escaped(const std::wstring& text) {
  std::string escaped;
  for (const char c : Utf8FromWide(text)) {
    if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped.push_back(c);
    }
  }
  return escaped;
}

}  // namespace

uint64_t AppendSpeechLog(const std::string& directory,
                         const SpeakRequestRecord& record) {
  LogState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  const std::string path = directory + "speech.log";
  auto found = state.linesByDirectory.find(directory);
  if (found == state.linesByDirectory.end()) {
    // Numbering goes on from an earlier run's lines.
    found = state.linesByDirectory.emplace(directory, CountLines(path)).first;
  }
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << record.flags << '\t' << record.rate << '\t' << record.volume << '\t'
      << Utf8FromWide(record.voiceTokenId) << '\t' << Escaped(record.text) << '\n';
  out.flush();
  if (!out) return 0;
  return ++found->second;
}

}  // namespace platform
