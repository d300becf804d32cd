// SPDX-License-Identifier: GPL-3.0-or-later
// Small whole files, read without ever blocking and written whole or not
// at all (the settings, the map), and the file-system helpers the player's
// parts share with them: path pieces and folders made for the player alone.
#ifndef NARRO_PLAYER_SMALL_FILES_H_
#define NARRO_PLAYER_SMALL_FILES_H_

#include <cstddef>
#include <string>

namespace player {

// The folder of a path ("." for a bare name, "/" for a name in the root)
// and its last part.
std::string FolderOf(const std::string& path);
std::string BaseName(const std::string& path);
// The name by which the interpreter, running in `folder` with that folder
// open as descriptor `folderFd`, opens the file at `path`. The interpreter
// takes names as Unicode text only (Node.js reads its arguments and its
// working folder as UTF-8; the protocol's answers are JSON), so a path
// whose bytes are not UTF-8 would open another file, or none: it is named
// through the open folder instead ("/proc/self/fd/3/name") when it lies in
// that folder and the rest is UTF-8. Empty when the interpreter cannot be
// given the path at all.
std::string PathForInterpreter(const std::string& path, const std::string& folder, int folderFd);
// The folder of the running program, links resolved; "." when unknown.
std::string ExecutableFolder();

// mkdir -p with mode 0700: what the player keeps is nobody else's. False,
// with what is wrong in `what`, when a folder could not be made.
bool MakeFolders(const std::string& folder, std::string& what);

// A whole regular file of at most `limit` bytes. Never opens a FIFO or a
// device (stat first, then a non-blocking open checked again). False, with
// what is wrong in `what` ("is not a regular file", "is larger than 64
// KiB", "cannot be read (reason)") and `missing` set when nothing is there.
bool ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& what,
                   bool& missing);

// Replaces the file at `path` with `text`, whole or not at all: a temporary
// file beside it (its folders made first, mode 0700), written, synced and
// renamed over it, then the folder synced so that the new name lasts. The
// temporary takes `mode` when it is not negative (a file the user opened up
// or locked down keeps its permissions). False, with what is wrong in
// `what` ("cannot make a temporary file in FOLDER (reason)", "cannot be
// written (reason)"), and nothing left behind.
bool WriteWholeFile(const std::string& path, const std::string& text, int mode, std::string& what);

}  // namespace player

#endif  // NARRO_PLAYER_SMALL_FILES_H_
