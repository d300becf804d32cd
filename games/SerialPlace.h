// SPDX-License-Identifier: GPL-3.0-or-later
// Where a story file and a saved game keep the story's 6-byte serial,
// which ties a save to its game beside the CRC tag in the save's name.
//
// Z-code keeps it at 18 in the story and at 22 in a Quetzal save (its IFhd
// chunk holds release, serial and checksum). Glulx keeps none in its own
// header, but Inform writes an "Info" block right after it, with the
// serial at 54; and a Glulx save's IFhd chunk holds the first 128 bytes of
// the game's memory, which begin with that very header and block. A Blorb
// holds its story in one executable chunk, where the serial sits as in a
// bare story file.
#ifndef NARRO_GAMES_SERIAL_PLACE_H_
#define NARRO_GAMES_SERIAL_PLACE_H_

#include <cstdint>
#include <string>

namespace platform {
class InputFile;
}

// The offset of the serial in this story file: inside the executable chunk
// of a Blorb; 54 in a Glulx story made by Inform; 18 (kStorySerialOffset)
// in a Z-code story; kNoSerial in a Glulx story without Inform's block, a
// Blorb without a story in it, and every other format (TADS, Hugo,
// ADRIFT), whose saves are tied to their story by the CRC tag alone.
uint64_t storySerialOffset(platform::InputFile& file);

// The offset of the story's serial in this saved game: 20 + 54 in a Glulx
// save (an IFZS form whose first chunk is an IFhd of 128 bytes) of a game
// Inform made, kNoSerial in one of another game, 22 (kSaveSerialOffset) in
// another Quetzal save; kNoSerial in a file that is not Quetzal (the saves
// of TADS, Hugo and ADRIFT).
uint64_t saveSerialOffset(platform::InputFile& file);

// True for a save that is there, not empty, and keeps no serial at all
// (not Quetzal): it belongs to the story its CRC tag names when that story
// keeps none either.
bool saveKeepsNoSerial(const std::string& path);

// A serial worth the name: printable ASCII throughout. The bytes a format
// without one holds where Z-code keeps it are not.
bool isSerialText(const std::string& serial);

// The serial itself, as readSerial reads it; empty when there is none or
// the file cannot be read.
std::string storySerial(const std::string& path);
std::string saveSerial(const std::string& path);

#endif  // NARRO_GAMES_SERIAL_PLACE_H_
