// SPDX-License-Identifier: GPL-3.0-or-later
// The exported string values of the boundary.
#include "platform/locale/TextEncoding.h"
#include "narro/Narro.h"

CTTSString::CTTSString() = default;
CTTSString::CTTSString(const CTTSString& other) : CTTSString(other.m_text) {}
CTTSString::CTTSString(const std::string& text) : m_text(text) {}
CTTSString::CTTSString(const char* text) : m_text(text ? text : "") {}
CTTSString::CTTSString(const CTTSWString& wide)
    : m_text(static_cast<const std::string>(wide)) {}
CTTSString::~CTTSString() = default;
CTTSString& CTTSString::operator=(const CTTSString& other) {
  m_text = other.m_text;
  return *this;
}
CTTSString::operator const char*() const { return m_text.c_str(); }
CTTSString::operator const std::wstring() const { return platform::WideFromBytes(m_text); }

CTTSWString::CTTSWString() = default;
CTTSWString::CTTSWString(const CTTSWString& other)
    : CTTSWString(other.m_text) {}
CTTSWString::CTTSWString(const std::wstring& text) : m_text(text) {}
CTTSWString::CTTSWString(const wchar_t* text) : m_text(text ? text : L"") {}
CTTSWString::CTTSWString(const CTTSString& narrow)
    : m_text(static_cast<const std::wstring>(narrow)) {}
CTTSWString::~CTTSWString() = default;
CTTSWString& CTTSWString::operator=(const CTTSWString& other) {
  m_text = other.m_text;
  return *this;
}
CTTSWString::operator const wchar_t*() const { return m_text.c_str(); }
CTTSWString::operator const std::string() const { return platform::BytesFromWide(m_text); }
