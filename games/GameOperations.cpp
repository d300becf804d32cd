// The facade's game operations, until the game library exists.
#include "narro/Narro.h"

bool CNarro::GetCRC(const CTTSString&, CTTSString&) { return false; }
bool CNarro::addNewGame(CTTSString&, CTTSString&) { return false; }
bool CNarro::OpenUsingShellExecute(char*, int, NarroWindow) { return false; }
