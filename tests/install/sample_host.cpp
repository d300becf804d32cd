// SPDX-License-Identifier: GPL-3.0-or-later
// A host outside the tree, built only against the installed headers and
// library: the library is loaded before main and its facade is waiting.
#include <narro/Narro.h>
#include <narro/VersionInfo.h>

#include <cstdio>
#include <cstring>
#include <string>

NARRO_VERSION_INFO(
    NARRO_VERSION_TRANSLATION(0x0409, 0x04B0)
    NARRO_VERSION_STRING(FileVersion, "1.0.0.1")
    NARRO_VERSION_STRING(ProductName, "Sample Host"));

static int failures = 0;

static void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

int main(int argc, char** argv) {
  ManagedNARRO narro;
  Check(narro.m_facade == &CNarro::GetSingleton(), "handle finds the facade");
  CNarro& facade = CNarro::GetSingleton();
  Check(facade.getFlags() == 17 && facade.checkFlags(17), "flags start at 17");
  Check(facade.removeFlag(0x02) == 19, "removeFlag toggles");
  facade.setFlags(17);

  const CTTSString narrow(std::string("caf\xE9"));
  const CTTSWString wide(narrow);
  Check(std::wcscmp(wide, L"caf\u00e9") == 0, "widening");
  Check(static_cast<const std::string>(CTTSWString(std::wstring(1, 0x20AC))) ==
            std::string(1, '\0'),
        "narrowing above 255");

  Check(facade.AddToBuffer(CTTSString("Hello, World.")) == 2, "two words");
  Check(facade.AddToBuffer(CTTSWString(L"hello")) == 2, "no new word");
  Check(facade.MonitorInput("take lamp ") == 4, "monitored word");
  facade.SetMode(5);
  facade.ToLog("host line %s");
  facade.DebugStr("debug %d", 7);

  // No version-check server is configured here: a quick, clean false.
  int difference = 42;
  CTTSString versionText("untouched");
  Check(!facade.getVersion(difference, versionText) && difference == 42,
        "version check without a server");

  CTTSString root;
  facade.GetRoot(root);
  std::printf("root %s\n", static_cast<const char*>(root));

  // "games DIR": the games list over DIR, the player's keys coming from
  // NARRO_KEYS; the game chosen is printed.
  if (argc == 3 && std::strcmp(argv[1], "games") == 0) {
    facade.SetRoot(argv[2]);
    CTTSWString chosen;
    facade.getList(chosen, if_list_games, "z5,z8", "sav,qzl");
    std::printf("chosen %s\n", static_cast<const std::string>(chosen).c_str());
  }
  return failures == 0 ? 0 : 1;
}
