// SPDX-License-Identifier: GPL-3.0-or-later
// The data folder: where the library reads and writes its data files
// (scratchpad.txt, User_Fingerprints.xml, filecache.txt, and a
// fingerprints.xml of the player's own), and where an installation keeps
// the files it ships.
//
// The data folder is, in this order:
//   1. $NARRO_DATA_DIR, when it is set and not empty;
//   2. the running program's folder, when the program lies in the build
//      tree this code was compiled in (every test, make run, make testhost);
//   3. for every other program, installed or built elsewhere:
//      $XDG_DATA_HOME/narro/, or $HOME/.local/share/narro/ when
//      XDG_DATA_HOME is unset, empty or not an absolute path; made with
//      mode 0700 when missing. With no home folder at all, the program's
//      folder, as in 2.
//
// Why the build tree is what is recognised, and not "installed": the build
// tree is the one place known for certain, compiled in by the build that
// made the program, and the only one where a program is meant to keep its
// data beside itself. "Installed" cannot be known: cmake --install
// --prefix, DESTDIR staging and a moved installation all put the program
// somewhere else than the prefix compiled in, and a host that links the
// library (an interpreter in /usr/games, a program built against an
// installed libNarro.so, a script's interpreter) lies wherever its own
// package put it, beside no share/narro of ours. Each of those gets the
// user's own, writable data folder, never a system folder it cannot write.
// An install prefix inside the build tree counts as the build tree.
#ifndef NARRO_CORE_APP_DIRECTORY_H_
#define NARRO_CORE_APP_DIRECTORY_H_

#include <string>
#include <vector>

// The data folder, decided from the environment at each call; always ends
// in '/'. In case 3 the folder is made when missing; a failure is logged
// and the path still returned, so that each file operation fails (and is
// reported) on its own.
std::string GetAppDirectory();

// The folders, ending in '/', where an installation keeps the files it
// ships (share/narro/), most likely first: the one beside the running
// program (bin/../share/narro/), the one beside the library
// (lib/../share/narro/), then the one configured when it was built. None
// for a program in the build tree, which has no installation: what it
// needs lies in its data folder.
std::vector<std::string> InstalledDataFolders();

// ---------------------------------------------------------------------------
// The decisions above, apart from the process, so that tests can give any
// program path, environment and build tree.

struct DataFolderEnvironment {
  std::string dataDir;      // NARRO_DATA_DIR
  std::string xdgDataHome;  // XDG_DATA_HOME
  std::string home;         // HOME, else the password database's home folder
};

enum class DataFolderKind {
  kOverride,   // NARRO_DATA_DIR
  kBuildTree,  // the program's folder, in the build tree
  kUserData,   // the XDG data folder; to be made when missing
  kNoHome,     // the program's folder, as no home folder is known
};

struct DataFolder {
  std::string path;  // ends in '/'
  DataFolderKind kind;
};

// executable: the running program's full path, links resolved; buildTree:
// the build tree's folder, links resolved (empty: no build tree).
DataFolder ChooseDataFolder(const std::string& executable,
                            const DataFolderEnvironment& environment,
                            const std::string& buildTree);

// Whether path names folder or something inside it, by whole names:
// "/b/build-asan/x" does not lie in "/b/build".
bool LiesInFolder(const std::string& path, const std::string& folder);

// How the installation is laid out: the data folder relative to the
// program's folder and to the library's (empty when not known), and its
// full path as configured.
struct InstallLayout {
  std::string binToData;  // "../share"
  std::string libToData;  // "../share" or "../../share"
  std::string dataDir;    // "/usr/local/share"
};

// share/narro/ beside the program, beside the library, then as configured;
// without repeats, each ending in '/'.
std::vector<std::string> InstalledDataFolders(const std::string& executable,
                                              const std::string& library,
                                              const InstallLayout& layout);

#endif  // NARRO_CORE_APP_DIRECTORY_H_
