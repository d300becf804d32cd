// SPDX-License-Identifier: GPL-3.0-or-later
// SHBrowseForFolder: the player chooses a folder in the terminal. The
// chooser shows the folders under the current one in name order (case
// ignored), with ".." first to go up; it starts in the start folder's parent
// with the start folder under the cursor. Right moves down into the folder
// under the cursor (on "..", up); Left and Backspace move up; Enter chooses
// the folder under the cursor (on "..", moves up); Escape cancels. A folder
// that cannot be opened (its permission bits read as for an ordinary user)
// is said to be so and the chooser stays where it is.
//
// No screen reader reads the chooser on this platform, so with `speak` each
// folder name is said through the Announcer (flags 3) as the cursor reaches
// it, as the spoken list does with its entries.
#ifndef NARRO_PLATFORM_WIN_FOLDER_CHOOSER_H_
#define NARRO_PLATFORM_WIN_FOLDER_CHOOSER_H_

#include <string>

#include "platform/win/Messages.h"

namespace platform {

// True when a folder was chosen: its full path, without a trailing '/'
// (except for the root itself), is in `chosen`. False when the player
// cancelled or no dialog could be shown. Paths may be of any length.
bool BrowseForFolder(HWND owner, const std::string& start, const std::string& title,
                     bool speak, std::string& chosen);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_FOLDER_CHOOSER_H_
