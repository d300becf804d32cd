// SPDX-License-Identifier: GPL-3.0-or-later
// The working object of the game library for one operation: the list
// driver and addNewGame each make one, load the fingerprint databases into
// it, scan with it and destroy it. Nothing of it outlives the call except
// "User_Fingerprints.xml" and "filecache.txt" on disk.
#ifndef NARRO_GAMES_GAME_LIBRARY_H_
#define NARRO_GAMES_GAME_LIBRARY_H_

#include <sstream>
#include <string>

#include "games/Game.h"

class CGameLibrary {
 public:
  // Fingerprint databases ------------------------------------------------

  // Adds the records of one database file to the catalogue; a record whose
  // fingerprint is already there is dropped. True when the file parsed and
  // holds a "games" element. A file that cannot be read or parsed puts
  // TinyXML's description, row and column into lastError.
  bool readFingerprintFile(const std::string& path);
  // The same for a database already read into memory; path only names it
  // in lastError.
  bool readFingerprintText(const std::string& path, const std::string& text);

  // Mode 0: the shipped database (path, or ShippedFingerprintFile() when
  // path is null), then the user's. Any other mode: only the
  // user's "User_Fingerprints.xml".
  void loadFingerprints(const char* path, int mode);

  // Replaces the file with the whole catalogue, in FullName order. A null
  // path writes nothing. False when the file could not be written.
  bool writeFingerprintFile(const char* path) const;

  // Identifies the story file and updates its record (fn, and FullName
  // unless name is "unknown"), or adds one when add is set. False only when
  // the file could not be read.
  bool addGameFile(const std::string& path, bool add, const std::string& name);

  // Scans ------------------------------------------------------------------

  // Comma-separated file-name endings of story files and of saved games.
  void setExtensions(const char* gameExts, const char* saveExts);

  // Marks the records of target (null: the catalogue) whose story files lie
  // under dir as found, with fn the path as listed. With includeUnsupported,
  // unknown story files become records named "unknown" that are not found.
  // Returns the number of files matched to a record.
  int scanGames(const char* dir, GameSet* target, bool includeUnsupported);

  // Puts a record into saves for every saved game under dir that belongs to
  // a catalogue game by both the CRC tag in its name and the serial in its
  // header. Returns the number of files under dir.
  size_t scanSaves(GameSet& saves, const std::string& dir);

  std::string gameExtensions;
  std::string saveExtensions;
  std::ostringstream lastError;
  GameSet catalogue;

  // Replaces the whole of lastError.
  void setLastError(const std::string& text);
};

// The data files of the library, in GetAppDirectory(). The shipped
// database is the data folder's fingerprints.xml when there is one, else,
// for an installed program, its installation's share/narro/fingerprints.xml.
std::string ShippedFingerprintFile();
std::string UserFingerprintFile();
std::string FileCacheFile();

#endif  // NARRO_GAMES_GAME_LIBRARY_H_
