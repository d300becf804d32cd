// SPDX-License-Identifier: GPL-3.0-or-later
// What the databases call a story, and whether that name is the player's
// own stand-in, to be corrected once the story's title is known.
#include <narro/Narro.h>

#include "player/SmallFiles.h"
#include "player/Player.h"
#include "player/StoryFiles.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

// The player's database is rewritten whole by the library; a file larger
// than this is no database of one player's stories.
constexpr size_t kLargestUserDatabase = 64u << 20;

}  // namespace

bool Player::KnownStoryName(const std::string& story, std::wstring& name) {
  name.clear();
  CTTSString known;
  if (!m_narro.findGame(CTTSString(story), known)) return false;
  name = platform::WideFromUtf8(static_cast<const char*>(known));
  if (!IsStandInName(name, story)) return true;
  // Only a name of the player's database is the player's: the shipped one
  // is read first and wins, and is never corrected.
  CTTSString crc;
  std::string xml, what, stored;
  bool missing = false;
  std::string folder = m_dataFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  if (!m_narro.GetCRC(CTTSString(story), crc) ||
      !ReadSmallFile(folder + "User_Fingerprints.xml", kLargestUserDatabase, xml, what, missing) ||
      !StoredName(xml, static_cast<const char*>(crc), stored) ||
      platform::WideFromUtf8(stored) != name) {
    return true;
  }
  return !m_standInsOffered.insert(story).second;
}

}  // namespace player
