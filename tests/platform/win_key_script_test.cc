// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win/KeyScript.h"
#include "platform/win/Messages.h"
#include "tests/support/TempDir.h"

using namespace platform;

namespace {

struct Key {
  KeyEvent::Kind kind;
  unsigned vk;
  wchar_t ch;
  bool operator==(const Key& o) const { return kind == o.kind && vk == o.vk && ch == o.ch; }
};

std::ostream& operator<<(std::ostream& out, const Key& key) {
  return out << "{" << key.kind << ", " << key.vk << ", " << static_cast<int>(key.ch) << "}";
}

std::vector<Key> Keys(const std::wstring& text) {
  KeyScript script(text);
  std::vector<Key> keys;
  KeyEvent key;
  while (script.Next(key)) keys.push_back({key.kind, key.vk, key.ch});
  return keys;
}

TEST(KeyScriptTest, EveryCharacterIsItsKeyAndItself) {
  EXPECT_EQ(Keys(L"aZ5 .<lt>"),
            (std::vector<Key>{{KeyEvent::kKey, 'A', L'a'},
                              {KeyEvent::kKey, 'Z', L'Z'},
                              {KeyEvent::kKey, '5', L'5'},
                              {KeyEvent::kKey, VK_SPACE, L' '},
                              {KeyEvent::kKey, VK_OEM_PERIOD, L'.'},
                              {KeyEvent::kKey, VK_OEM_COMMA, L'<'}}));
  EXPECT_EQ(Keys(L"\u00e9\U0001F600"), (std::vector<Key>{{KeyEvent::kKey, VK_PACKET, L'\u00e9'},
                                                        {KeyEvent::kKey, VK_PACKET, L'\U0001F600'}}));
}

TEST(KeyScriptTest, TheMenuKeyHasTwoNames) {
  EXPECT_EQ(Keys(L"<Apps><S-F10>"), (std::vector<Key>{{KeyEvent::kKey, VK_APPS, 0},
                                                      {KeyEvent::kKey, VK_APPS, 0}}));
}

TEST(KeyScriptTest, NamedKeys) {
  EXPECT_EQ(Keys(L"<Enter><Esc><Space><Tab><Backspace>"),
            (std::vector<Key>{{KeyEvent::kKey, VK_RETURN, L'\r'},
                              {KeyEvent::kKey, VK_ESCAPE, 27},
                              {KeyEvent::kKey, VK_SPACE, L' '},
                              {KeyEvent::kKey, VK_TAB, L'\t'},
                              {KeyEvent::kKey, VK_BACK, L'\b'}}));
  EXPECT_EQ(Keys(L"<Up><Down><Left><Right><PgUp><PgDn><Home><End><Ins><Del>"),
            (std::vector<Key>{{KeyEvent::kKey, VK_UP, 0}, {KeyEvent::kKey, VK_DOWN, 0},
                              {KeyEvent::kKey, VK_LEFT, 0}, {KeyEvent::kKey, VK_RIGHT, 0},
                              {KeyEvent::kKey, VK_PRIOR, 0}, {KeyEvent::kKey, VK_NEXT, 0},
                              {KeyEvent::kKey, VK_HOME, 0}, {KeyEvent::kKey, VK_END, 0},
                              {KeyEvent::kKey, VK_INSERT, 0}, {KeyEvent::kKey, VK_DELETE, 0}}));
  EXPECT_EQ(Keys(L"<F1><F12><C-c>"),
            (std::vector<Key>{{KeyEvent::kKey, VK_F1, 0},
                              {KeyEvent::kKey, VK_F12, 0},
                              {KeyEvent::kInterrupt, 0, 0}}));
}

TEST(KeyScriptTest, AnUnknownNameEndsTheScriptThere) {
  KeyScript script(L"a<Foo>b");
  EXPECT_EQ(script.Error(), "Key script: unknown key name <Foo>: it ends at key 2");
  EXPECT_EQ(Keys(L"a<Foo>b").size(), 1u);
  EXPECT_EQ(Keys(L"<F13>a").size(), 0u);
  EXPECT_EQ(Keys(L"<F0>a").size(), 0u);
  EXPECT_EQ(Keys(L"<F01>a").size(), 0u);
  EXPECT_EQ(Keys(L"<enter>").size(), 0u);  // names are as written
  EXPECT_EQ(Keys(L"<>").size(), 0u);
}

TEST(KeyScriptTest, AScriptCutOffInsideANameEndsBeforeIt) {
  KeyScript script(L"ab<Ent");
  EXPECT_EQ(script.Error(), "Key script cut off inside <: it ends at key 3");
  EXPECT_EQ(Keys(L"ab<Ent").size(), 2u);
  EXPECT_EQ(Keys(L"<").size(), 0u);
  EXPECT_TRUE(KeyScript(L"<Enter>").Error().empty());
}

TEST(KeyScriptTest, TheReasonAScriptEndedEarlyIsLogged) {
  TempDir dir;
  setenv("NARRO_LOG", dir.File("log").c_str(), 1);
  KeyScript script(L"<Down><Dwn>");
  unsetenv("NARRO_LOG");
  EXPECT_EQ(ReadFile(dir.File("log")), "Key script: unknown key name <Dwn>: it ends at key 2\n");
}

}  // namespace
