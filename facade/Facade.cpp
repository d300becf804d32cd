// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's lifetime, flags and settings.
#include <cstdarg>
#include <cstdio>

#include "core/AppDirectory.h"
#include "core/ExceptionGuard.h"
#include "core/Log.h"
#include "core/SingletonStorage.h"
#include "platform/locale/TextEncoding.h"
#include "narro/Narro.h"
#include "speech/SpeechTTS.h"
#include "text/TextStore.h"

template class MySingleton<CNarro>;

CNarro::CNarro() : m_flags(0) {
  m_root = GetAppDirectory();
  m_textStore = std::make_unique<CTextStore>();
  m_flags = 17;
  m_textStore->LoadScratch(ScratchFilePath());
  LogLine("%1%", "Construct CNarro...");
}

CNarro::CNarro(CNarro& source)
    : MySingleton<CNarro>(source),
      m_flags(source.m_flags),
      m_speech(std::move(source.m_speech)),
      m_textStore(std::move(source.m_textStore)),
      m_root(source.m_root),
      m_game(source.m_game) {}

CNarro& CNarro::operator=(CNarro& source) {
  if (this == &source) return *this;
  m_flags = source.m_flags;
  // unique_ptr deletes the target's own engine and store as it takes the
  // source's.
  m_speech = std::move(source.m_speech);
  m_textStore = std::move(source.m_textStore);
  m_root = source.m_root;
  m_game = source.m_game;
  return *this;
}

// A destructor may not throw (the process would end), so a failure while
// saving or shutting down is logged as the guard logs it, and the rest of
// the teardown goes on.
CNarro::~CNarro() {
  NARRO_GUARDED("Init", [this] {
    LogLine("%1%", "Destructing CNarro...");
    if (m_textStore && m_textStore->MaySaveScratch()) {
      m_textStore->SaveScratch(ScratchFilePath());
    }
  });
  NARRO_GUARDED("Init", [] { CSpeechTTS::ReleaseSAPI(); });
  m_game.clear();
  m_root.clear();
  m_textStore.reset();
  m_speech.reset();
}

CNarro& CNarro::GetSingleton() { return MySingleton<CNarro>::GetSingleton(); }

void CNarro::release() {
  LogLine("%1%", "Releasing CNarro");
  NARRO_GUARDED("CNarro::release", [] { CSpeechTTS::ReleaseSAPI(); });
}

void CNarro::setFlags(uint32_t flags) { m_flags = flags; }
uint32_t CNarro::getFlags() const { return m_flags; }
uint32_t CNarro::addFlag(uint32_t bits) { return m_flags |= bits; }
uint32_t CNarro::removeFlag(uint32_t bits) { return m_flags ^= bits; }
void CNarro::clearFlags() { m_flags = 0; }
bool CNarro::checkFlags(uint32_t mask) const {
  return (m_flags & mask) == mask;
}

void CNarro::SetMode(int mode) {
  try {
    LogLine("Mode Change %1%", mode);
  } catch (...) {
    // The mode is stored whatever became of its log line.
  }
  if (m_textStore) m_textStore->SetMode(mode);
}

int CNarro::GetMode() { return m_textStore ? m_textStore->Mode() : 0; }

void CNarro::SetHistory(int count) {
  if (m_textStore) m_textStore->SetHistory(static_cast<uint32_t>(count));
}

int CNarro::GetHistory() {
  return m_textStore ? static_cast<int>(m_textStore->History()) : 0;
}

void CNarro::SetGame(const char* game) { m_game = game ? game : ""; }
void CNarro::GetGame(CTTSString& game) { game = CTTSString(m_game); }
void CNarro::SetRoot(const char* root) { m_root = root ? root : ""; }
void CNarro::GetRoot(CTTSString& root) { root = CTTSString(m_root); }

void CNarro::getDataFolder(CTTSString& folder) { folder = CTTSString(GetAppDirectory()); }

void CNarro::ToLog(const char* text) { LogLine("%s", text ? text : ""); }

void CNarro::DebugStr(const char* format, ...) {
  char buffer[1024];
  buffer[0] = '\0';
  if (format != nullptr) {
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);  // cuts at 1023 bytes
    va_end(args);
  }
  OutputDebugLine(std::string("Narro::") + buffer);
  LogLine("%1%", buffer);
}

std::wstring CNarro::ASCII_To_UC8(const std::string& narrow) {
  return platform::WideFromBytes(narrow);
}

std::string CNarro::UC8_To_ASCII(const std::wstring& wide) {
  return platform::BytesFromWide(wide);
}

ManagedNARRO::ManagedNARRO() : m_facade(MySingleton<CNarro>::ms_Singleton) {}

ManagedNARRO::~ManagedNARRO() {
  if (m_facade != nullptr) m_facade->release();
}

ManagedNARRO& ManagedNARRO::operator=(const ManagedNARRO& other) {
  m_facade = other.m_facade;
  return *this;
}
