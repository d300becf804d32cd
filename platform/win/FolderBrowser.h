// SHBrowseForFolder's stand-in: a folder chooser drawn by the window layer,
// keyboard only. The list holds ".." (except at "/") and the folders under
// the current one, in name order, with the start folder selected. Right, or
// Enter on "..", moves down into the folder under the cursor or up; Left
// moves up as well. Enter on a folder chooses it; Escape cancels. Moving
// the cursor says the folder's name through the Announcer (flags 3);
// entering a folder says its name and how many folders it holds; a folder
// that cannot be opened is said to be so and the chooser stays where it
// was. Paths have no length limit.
#ifndef NARRO_PLATFORM_WIN_FOLDER_BROWSER_H_
#define NARRO_PLATFORM_WIN_FOLDER_BROWSER_H_

#include <string>

#include "platform/win/Messages.h"

namespace platform {

// True with the chosen folder's full path (no trailing "/" except for "/"
// itself) in chosen; false when cancelled or when no chooser could be
// shown (no terminal and no key script).
bool BrowseForFolder(HWND owner, const std::string& start, const std::string& title,
                     std::string& chosen);

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_FOLDER_BROWSER_H_
