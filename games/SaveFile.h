// SPDX-License-Identifier: GPL-3.0-or-later
// Where a host saves a game so that the saved-games lists find it: beside
// the story when it may write there, else in the data folder's "saves/",
// under the player's name for the save, the story's CRC tag and the
// host's extension (games/SaveScan.h ties such a file to its story).
#ifndef NARRO_GAMES_SAVE_FILE_H_
#define NARRO_GAMES_SAVE_FILE_H_

#include <string>

// The player's name made safe as the first part of a file name: blanks and
// control characters trimmed at both ends; inside, '/' and control
// characters become '_', and so does a '%' right after a '_', so that the
// name holds no "_%" to cut it short in the list. Empty when nothing is
// left.
std::string cleanSaveName(const std::string& name);

// Whether extension can end a save's name: a dot and at least one more
// character, none of them '/', '%' (which would break the CRC tag) or a
// control character.
bool isSaveExtension(const std::string& extension);

// The folder of the story as its path names it (a link's own folder, not
// its target's), made absolute against the working folder, ending in '/';
// empty when the path has no file name or the working folder is gone.
std::string storyFolder(const std::string& story);

// The data folder's "saves/", where saves go that cannot go beside their
// story.
std::string dataSavesFolder();

// FOLDER + cleaned name + "_%" + crc + "%_" + extension, FOLDER being the
// story's folder when this process may write there, else dataSavesFolder()
// (made with mode 0700 when missing). False, path unchanged, when the name
// is empty once cleaned, the extension is not one, the story cannot be
// read, no folder can be written, or the file name would be longer than a
// file system allows.
bool saveFilePath(const std::string& story, const std::string& name,
                  const std::string& extension, std::string& path);

#endif  // NARRO_GAMES_SAVE_FILE_H_
