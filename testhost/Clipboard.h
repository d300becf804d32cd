// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard in a terminal: the terminal's own OSC 52 sequence, which
// reaches the desktop's clipboard also over ssh, and wl-copy or xclip when
// one is installed, for terminals that ignore the sequence.
#ifndef NARRO_TESTHOST_CLIPBOARD_H_
#define NARRO_TESTHOST_CLIPBOARD_H_

#include <string>

// False when no way to the clipboard could be opened.
bool CopyToClipboard(const std::string& text);

// The OSC 52 sequence that puts text on the clipboard.
std::string Osc52(const std::string& text);

#endif  // NARRO_TESTHOST_CLIPBOARD_H_
