// SPDX-License-Identifier: GPL-3.0-or-later
// Watching the player's typing: each word is spoken the moment a space,
// comma, full stop or question mark completes it.
#ifndef NARRO_TEXT_INPUT_MONITOR_H_
#define NARRO_TEXT_INPUT_MONITOR_H_

#include <string>

class CSpeechTTS;
class CTextStore;

// Takes the input line as it stands after a keystroke. When its last
// character ends a word, that word becomes the store's last typed word and
// is spoken through speech (cutting off what is being said), unless speech
// is null. A line replayed from the history is passed over: false.
// Throws what the engine throws while speaking; the word is kept by then.
bool WatchTyping(CTextStore& store, CSpeechTTS* speech, const std::wstring& line);

#endif  // NARRO_TEXT_INPUT_MONITOR_H_
