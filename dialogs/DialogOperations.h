// SPDX-License-Identifier: GPL-3.0-or-later
// A line of text and a folder, asked for by keyboard and by ear. Neither
// catches what goes wrong inside: hosts of getInput and getDirectory
// expect it to reach them.
#ifndef NARRO_DIALOGS_DIALOG_OPERATIONS_H_
#define NARRO_DIALOGS_DIALOG_OPERATIONS_H_

#include <string>

// Shows the input dialog with prompt (spoken first when speakPrompt) and
// returns what was typed; empty when the player cancelled. With clean,
// the text is made fit for a file name: "&" becomes " and ", and
// . - ( ) , \ / become "_".
std::wstring AskForLine(const std::string& prompt, bool clean, bool speakPrompt);

// Shows the folder chooser at start. spoken: each folder is said as the
// cursor reaches it. False when the player
// cancelled; otherwise chosen is the folder's path.
bool ChooseFolder(const std::string& start, const char* title, bool spoken,
                  std::string& chosen);

#endif  // NARRO_DIALOGS_DIALOG_OPERATIONS_H_
