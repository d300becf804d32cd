// SPDX-License-Identifier: GPL-3.0-or-later
// Where narro-play's installation keeps what it ships: the demo story and
// emglken's interpreters in share/narro/, the native interpreters and the
// cage they run in in libexec/narro/. A program run from the build tree
// uses the build tree's own, and an installed one never does.
#ifndef NARRO_PLAYER_INSTALL_FOLDER_H_
#define NARRO_PLAYER_INSTALL_FOLDER_H_

#include <string>

namespace player {

// True for a program that lies inside the build tree that compiled it.
bool RunningFromBuildTree();

// share/narro/, ending in '/': found from the program's own folder as the
// build laid the installation out (bin/../share/narro/ by default), so that
// a --prefix or moved installation finds its own; the configured folder
// when the build's install folders are absolute and so do not move with
// the program. Empty when neither is known.
std::string InstalledShareFolder();

// The folder, ending in '/', of narro-cage and the native interpreters
// (bocfel, glulxe): the build tree's interpreters/ for a program run from
// the build tree, else libexec/narro/ found as share/narro/ is.
std::string HelperProgramFolder();

}  // namespace player

#endif  // NARRO_PLAYER_INSTALL_FOLDER_H_
