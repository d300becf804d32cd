// SPDX-License-Identifier: GPL-3.0-or-later
// Where narro-play's installation keeps what it ships: the demo story and
// emglken's interpreters, in share/narro/.
#ifndef NARRO_PLAYER_INSTALL_FOLDER_H_
#define NARRO_PLAYER_INSTALL_FOLDER_H_

#include <string>

namespace player {

// share/narro/, ending in '/': found from the program's own folder as the
// build laid the installation out (bin/../share/narro/ by default), so that
// a --prefix or moved installation finds its own; the configured folder
// when the build's install folders are absolute and so do not move with
// the program. Empty when neither is known.
std::string InstalledShareFolder();

}  // namespace player

#endif  // NARRO_PLAYER_INSTALL_FOLDER_H_
