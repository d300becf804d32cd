// SPDX-License-Identifier: GPL-3.0-or-later
// The demo stories and saved games built for these tests, and helpers that
// lay out folder trees of them.
#ifndef NARRO_TESTS_GAMES_GAME_TEST_DATA_H_
#define NARRO_TESTS_GAMES_GAME_TEST_DATA_H_

#include <cstdint>
#include <string>

#include "games/Game.h"

// cave.z5, tower.z5, lighthouse.z8, cave.ulx; cave-hall.qzl, tower-top.qzl
// (made at build time by emglken's Bocfel); cave-hall-glulxe.glksave,
// cave-hall-bocfel.glksave (committed, made by emglken).
std::string DemoFile(const std::string& name);

// The CRC text as zlib computes it, to check ours against.
std::string ZlibCrcText(const std::string& contents);

// Copies a file, making the folders on the way.
void CopyFile(const std::string& from, const std::string& to);
void MakeFolders(const std::string& path);
void WriteFileMaking(const std::string& path, const std::string& contents);

// The file's last-write time as a Windows file time, and setting it so.
uint64_t LastWriteOf(const std::string& path);
void SetLastWrite(const std::string& path, uint64_t fileTime);

// Catalogue records of the three demo stories, named Cave Quest, The Tower
// and Lighthouse, with the CRC texts and serials of the built files.
void AddDemoGames(GameSet& games);
std::string DemoCrc(const std::string& story);

GamePtr MakeGame(const std::string& name, const std::string& fingerprint,
                 const std::string& serial);

#endif  // NARRO_TESTS_GAMES_GAME_TEST_DATA_H_
