// SPDX-License-Identifier: GPL-3.0-or-later
// How one SAPI speak request is put to speech-dispatcher: the priority its
// flags call for, the text as SSIP carries it, and SAPI's rate and volume
// on speech-dispatcher's scales. Why each is so: README, "Speech through
// speech-dispatcher".
#ifndef NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_REQUEST_H_
#define NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_REQUEST_H_

#include <libspeechd.h>

#include <cstdint>
#include <string>

namespace platform {

// Purging asynchronous requests (word and list echoes) go as "text", which
// a newer echo replaces and which never cuts into a screen reader's
// "important" or "message" speech; everything else as "message", which is
// spoken in order and never dropped for another client's text.
SPDPriority SpeechdPriority(uint32_t flags);

// UTF-8 for SSIP. Control characters other than tab and line ends are read
// as blanks, as the espeak-ng end reads them. Markup that is not a whole
// <speak> document is wrapped in one, as SSIP's SSML mode requires.
std::string SpeechdText(const wchar_t* text, bool markup);

// SAPI's rate -10..10 onto -100..100, ten steps each; SAPI's volume 0..100
// onto -100..100, 50 being speech-dispatcher's middle. Out of range values
// are clamped first.
int SpeechdRate(long rate);
int SpeechdVolume(uint16_t volume);

}  // namespace platform

#endif  // NARRO_PLATFORM_SAPI_SPEECHD_SPEECHD_REQUEST_H_
