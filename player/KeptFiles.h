// SPDX-License-Identifier: GPL-3.0-or-later
// Where the files a story makes by name are kept between sessions: a
// folder of the data folder's game-files/ for each story, named for the
// story's file name stem and its CRC, so that two stories of one name keep
// their files apart and a story moved elsewhere finds its own again.
#ifndef NARRO_PLAYER_KEPT_FILES_H_
#define NARRO_PLAYER_KEPT_FILES_H_

#include <string>

namespace player {

// The folder all stories' kept files are in: `dataFolder`'s game-files/.
std::string KeptFilesRoot(const std::string& dataFolder);

// The folder of `story`'s kept files: STEM_CRC, or STEM alone when its
// CRC (the library's, as text) is not known.
std::string KeptFilesFolder(const std::string& dataFolder, const std::string& story,
                            const std::string& crc);

// A folder of `story`'s stem is there: only then is the story's CRC worth
// reading before it starts.
bool MayHaveKeptFiles(const std::string& dataFolder, const std::string& story);

}  // namespace player

#endif  // NARRO_PLAYER_KEPT_FILES_H_
