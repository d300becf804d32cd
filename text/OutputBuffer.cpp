// SPDX-License-Identifier: GPL-3.0-or-later
// The facade's side of the output buffer. The string values are read as the
// zero-terminated texts they hand out.
#include "narro/Narro.h"
#include "platform/locale/TextEncoding.h"
#include "text/TextStore.h"

int CNarro::AddToBuffer(const CTTSWString& text) {
  if (!m_textStore) return 0;
  return m_textStore->AddText(static_cast<const wchar_t*>(text));
}

int CNarro::AddToBuffer(const CTTSString& text) {
  return AddToBuffer(CTTSWString(platform::WideFromBytes(static_cast<const char*>(text))));
}

void CNarro::ClearBuffer() {
  if (m_textStore) m_textStore->RequestClear();
}
