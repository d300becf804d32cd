// SPDX-License-Identifier: GPL-3.0-or-later
// What the library's own parts reach inside the facade. Hosts never see it.
#ifndef NARRO_CORE_FACADE_ACCESS_H_
#define NARRO_CORE_FACADE_ACCESS_H_

#include <memory>
#include <string>

#include "narro/Narro.h"

class CNarroAccess {
 public:
  // Null only in a facade whose store was handed to a copy.
  static CTextStore* TextStore(CNarro& facade) {
    return facade.m_textStore.get();
  }
  // Null before InitializeSAPI.
  static CSpeechTTS* Speech(CNarro& facade) { return facade.m_speech.get(); }
  static std::unique_ptr<CSpeechTTS>& SpeechSlot(CNarro& facade) {
    return facade.m_speech;
  }
  static std::string& Root(CNarro& facade) { return facade.m_root; }
};

#endif  // NARRO_CORE_FACADE_ACCESS_H_
