// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/KeyScript.h"

#include <map>

#include "platform/locale/TextEncoding.h"
#include "platform/win/Messages.h"
#include "platform/win/WinLog.h"

namespace platform {

namespace {

bool Named(const std::wstring& name, KeyEvent& key) {
  static const std::map<std::wstring, KeyEvent> kNames = {
      {L"Enter", {KeyEvent::kKey, VK_RETURN, L'\r'}},
      {L"Esc", {KeyEvent::kKey, VK_ESCAPE, 27}},
      {L"Space", {KeyEvent::kKey, VK_SPACE, L' '}},
      {L"Tab", {KeyEvent::kKey, VK_TAB, L'\t'}},
      {L"Backspace", {KeyEvent::kKey, VK_BACK, L'\b'}},
      {L"Up", {KeyEvent::kKey, VK_UP, 0}},
      {L"Down", {KeyEvent::kKey, VK_DOWN, 0}},
      {L"Left", {KeyEvent::kKey, VK_LEFT, 0}},
      {L"Right", {KeyEvent::kKey, VK_RIGHT, 0}},
      {L"PgUp", {KeyEvent::kKey, VK_PRIOR, 0}},
      {L"PgDn", {KeyEvent::kKey, VK_NEXT, 0}},
      {L"Home", {KeyEvent::kKey, VK_HOME, 0}},
      {L"End", {KeyEvent::kKey, VK_END, 0}},
      {L"Ins", {KeyEvent::kKey, VK_INSERT, 0}},
      {L"Del", {KeyEvent::kKey, VK_DELETE, 0}},
      {L"Apps", {KeyEvent::kKey, VK_APPS, 0}},
      {L"S-F10", {KeyEvent::kKey, VK_APPS, 0}},
      {L"C-c", {KeyEvent::kInterrupt, 0, 0}},
      {L"lt", {KeyEvent::kKey, VK_OEM_COMMA, L'<'}},
  };
  auto found = kNames.find(name);
  if (found != kNames.end()) {
    key = found->second;
    return true;
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == L'F') {
    int number = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < L'0' || name[i] > L'9') return false;
      number = number * 10 + (name[i] - L'0');
    }
    if (number >= 1 && number <= 12 && !(name.size() == 3 && name[1] == L'0')) {
      key = {KeyEvent::kKey, VK_F1 + static_cast<unsigned>(number - 1), 0};
      return true;
    }
  }
  return false;
}

}  // namespace

KeyScript::KeyScript(const std::wstring& script) {
  for (size_t i = 0; i < script.size(); ++i) {
    const wchar_t ch = script[i];
    if (ch != L'<') {
      m_keys.push_back({KeyEvent::kKey, VirtualKeyOf(ch), ch});
      continue;
    }
    const size_t close = script.find(L'>', i + 1);
    if (close == std::wstring::npos) {
      m_error = "Key script cut off inside <: it ends at key " + std::to_string(m_keys.size() + 1);
      break;
    }
    const std::wstring name = script.substr(i + 1, close - i - 1);
    KeyEvent key;
    if (!Named(name, key)) {
      m_error = "Key script: unknown key name <" + Utf8FromWide(name) + ">: it ends at key " +
                std::to_string(m_keys.size() + 1);
      break;
    }
    m_keys.push_back(key);
    i = close;
  }
  if (!m_error.empty()) WinLog(m_error);
}

bool KeyScript::Next(KeyEvent& key) {
  if (m_next >= m_keys.size()) return false;
  key = m_keys[m_next++];
  return true;
}

}  // namespace platform
