// SPDX-License-Identifier: GPL-3.0-or-later
// getList: fills a spoken list with games, saved games, voices, the word
// history or the scratch list, runs it and hands back what was chosen.
// getSaves: the saved-games list of one story, with no folder to choose;
// getGames: the games list of one folder, likewise.
#ifndef NARRO_DIALOGS_LIST_DRIVER_H_
#define NARRO_DIALOGS_LIST_DRIVER_H_

#include <string>

#include "narro/Narro.h"

class CDialogHost;
class CSpeechTTS;
class CTextStore;

// What a list works on. The host speaks its confirmations and asks for
// folders.
struct ListContext {
  CDialogHost& host;
  CTextStore* store;   // the word lists' store; null: those lists are empty
  CSpeechTTS* engine;  // the voices' engine; null: no voices list
  std::string& root;   // where folder choosing starts; set to the data
                       // folder when empty
};

// The text of the entry chosen: a game's or save's path, a voice's name,
// a word; empty when the player left the list. A voice list left with
// Escape gives back the voice from before, undoing what Insert tried.
std::wstring ShowList(const ListContext& context, if_list_type type, const char* gameExts,
                      const char* saveExts);

// The path of the save chosen among the story's own, looked for where
// getSaveFile puts them; empty when the player left the list.
std::wstring ShowStorySaves(const ListContext& context, const std::string& story,
                            const char* saveExts);

// The path of the game chosen among those under folder, found as the games
// list finds them, with no folder to choose; empty when the player left
// the list.
std::wstring ShowFolderGames(const ListContext& context, const std::string& folder,
                             const char* gameExts, const char* saveExts);

#endif  // NARRO_DIALOGS_LIST_DRIVER_H_
