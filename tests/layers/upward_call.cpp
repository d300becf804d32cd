// SPDX-License-Identifier: GPL-3.0-or-later
// Linked as the text layer: a call up to the facade, which the text layer
// does not link, must leave the facade's function unresolved.
#include "narro/Narro.h"

void SpeakThroughTheFacade() {
  if (CNarro* facade = CNarro::GetSingletonPtr()) facade->Speak(std::string("up"), SPEAK_QUEUED);
}
