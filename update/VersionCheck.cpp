// The facade's version check, until the retriever exists.
#include "narro/Narro.h"

bool CNarro::getVersion(int&, CTTSString&) { return false; }
