// SPDX-License-Identifier: GPL-3.0-or-later
// narro-play's settings file: what the player remembers between runs.
#ifndef NARRO_PLAYER_SETTINGS_H_
#define NARRO_PLAYER_SETTINGS_H_

#include <cstdint>
#include <string>

namespace player {

struct PlayerSettings {
  std::string voiceId;      // speech voice token id; empty: the default voice
  long rate = 0;            // -10..10
  int volume = 100;         // 0..100
  uint32_t flags = 17;      // the library's flag word
  std::string gamesFolder;  // where the games list starts; empty: not chosen yet
  std::string interpreter;  // a RemGlk interpreter command; empty: emglken's, by format
  bool echoLastWord = false;  // Enter also says the command's last word
  bool announceRoom = true;   // a new room in the status line is said
  bool screenReader = false;  // the player's screen reader speaks; narro-play shows

  bool operator==(const PlayerSettings& other) const;
  bool operator!=(const PlayerSettings& other) const { return !(*this == other); }
};

// $XDG_CONFIG_HOME/narro/player.conf when XDG_CONFIG_HOME is set, absolute and
// not empty; else $HOME/.config/narro/player.conf (HOME absolute too); empty
// when neither gives a folder.
std::string SettingsPath();

// A missing file gives the defaults and no problem. A file that cannot be
// used gives the defaults and one line in `problem` naming the path and what
// is wrong; such a file must then never be replaced (it may be the user's
// own, damaged or not ours at all). Never blocks on a FIFO, never throws.
PlayerSettings LoadSettings(const std::string& path, std::string& problem);

// Replaces the file atomically (temporary file beside it, fsync, rename),
// making its folder (0700) when missing; a symlink's target is replaced and
// the link kept. The games folder is any bytes: what is not UTF-8 text,
// and control bytes, are written as \xHH and a backslash as \\, which
// LoadSettings reads back. Refuses, leaving the old file as it was, other
// values the file could not give back exactly (a line break, a zero byte,
// text that is not UTF-8, a number out of range) and a path that is not a
// regular file.
// False with one line in `problem` on failure. Never throws.
bool SaveSettings(const std::string& path, const PlayerSettings& settings, std::string& problem);

}  // namespace player

#endif  // NARRO_PLAYER_SETTINGS_H_
